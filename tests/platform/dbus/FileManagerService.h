#pragma once

#include <systemd/sd-bus.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace s::platform::test {

// A file manager of the test's own on the session bus: it owns org.freedesktop.FileManager1,
// answers ShowItems and ShowItemProperties, and keeps each call as "Method uri...".
class FileManagerService {
 public:
  FileManagerService() {
    thread_ = std::thread([this] { run(); });
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!ready_ && !failed_ && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  ~FileManagerService() {
    stop_ = true;
    thread_.join();
  }
  FileManagerService(const FileManagerService&) = delete;
  FileManagerService& operator=(const FileManagerService&) = delete;

  bool ok() const { return ready_; }
  std::vector<std::string> calls() {
    std::lock_guard<std::mutex> hold(lock_);
    return calls_;
  }

 private:
  static int answer(sd_bus_message* message, void* self, sd_bus_error* /*error*/) {
    std::string call = sd_bus_message_get_member(message);
    char** uris = nullptr;
    const char* startup = nullptr;
    if (sd_bus_message_read_strv(message, &uris) < 0 ||
        sd_bus_message_read(message, "s", &startup) < 0) {
      return -EINVAL;
    }
    for (char** uri = uris; uri != nullptr && *uri != nullptr; ++uri) {
      call += ' ';
      call += *uri;
      free(*uri);
    }
    free(static_cast<void*>(uris));
    auto* service = static_cast<FileManagerService*>(self);
    {
      std::lock_guard<std::mutex> hold(service->lock_);
      service->calls_.push_back(call);
    }
    return sd_bus_reply_method_return(message, "");
  }

  void run() {
    static const sd_bus_vtable kVtable[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("ShowItems", "ass", "", answer, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("ShowItemProperties", "ass", "", answer, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_VTABLE_END};
    sd_bus* bus = nullptr;
    if (sd_bus_open_user(&bus) < 0 ||
        sd_bus_add_object_vtable(bus, nullptr, "/org/freedesktop/FileManager1",
                                 "org.freedesktop.FileManager1", kVtable, this) < 0 ||
        sd_bus_request_name(bus, "org.freedesktop.FileManager1", 0) < 0) {
      failed_ = true;
      sd_bus_flush_close_unref(bus);
      return;
    }
    ready_ = true;
    while (!stop_) {
      if (sd_bus_process(bus, nullptr) == 0) {
        sd_bus_wait(bus, 20000);
      }
    }
    sd_bus_flush_close_unref(bus);
  }

  std::atomic<bool> ready_{false};
  std::atomic<bool> failed_{false};
  std::atomic<bool> stop_{false};
  std::mutex lock_;
  std::vector<std::string> calls_;
  std::thread thread_;
};

}  // namespace s::platform::test

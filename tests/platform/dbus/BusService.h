#pragma once

#include <systemd/sd-bus.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace s::platform::test {

// A service of the test's own on the session bus: a thread that owns `name` and answers the
// methods of `vtable` at `path` under `interface`, with `userdata` given to each handler.
class BusService {
 public:
  BusService(std::string name, std::string path, std::string interface, const sd_bus_vtable* vtable,
             void* userdata)
      : name_(std::move(name)),
        path_(std::move(path)),
        interface_(std::move(interface)),
        vtable_(vtable),
        userdata_(userdata) {
    thread_ = std::thread([this] { run(); });
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!ready_ && !failed_ && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  ~BusService() {
    stop_ = true;
    thread_.join();
  }
  BusService(const BusService&) = delete;
  BusService& operator=(const BusService&) = delete;

  bool ok() const { return ready_; }

 private:
  void run() {
    sd_bus* bus = nullptr;
    if (sd_bus_open_user(&bus) < 0 ||
        sd_bus_add_object_vtable(bus, nullptr, path_.c_str(), interface_.c_str(), vtable_,
                                 userdata_) < 0 ||
        sd_bus_request_name(bus, name_.c_str(), 0) < 0) {
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

  std::string name_;
  std::string path_;
  std::string interface_;
  const sd_bus_vtable* vtable_;
  void* userdata_;
  std::atomic<bool> ready_{false};
  std::atomic<bool> failed_{false};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace s::platform::test

#pragma once

#include <systemd/sd-bus.h>

#include <mutex>
#include <string>
#include <vector>

#include "tests/platform/dbus/BusService.h"

namespace s::platform::test {

// A file manager of the test's own on the session bus: it owns org.freedesktop.FileManager1,
// answers ShowItems and ShowItemProperties, and keeps each call as "Method uri...".
class FileManagerService {
 public:
  FileManagerService() = default;

  bool ok() const { return service_.ok(); }
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

  static constexpr sd_bus_vtable kVtable[] = {
      SD_BUS_VTABLE_START(0),
      SD_BUS_METHOD("ShowItems", "ass", "", answer, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_METHOD("ShowItemProperties", "ass", "", answer, SD_BUS_VTABLE_UNPRIVILEGED),
      SD_BUS_VTABLE_END};

  std::mutex lock_;
  std::vector<std::string> calls_;
  // Last: it serves until it goes, and its handlers use the members above.
  BusService service_{"org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
                      "org.freedesktop.FileManager1", kVtable, this};
};

}  // namespace s::platform::test

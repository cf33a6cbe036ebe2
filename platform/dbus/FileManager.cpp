#include "platform/dbus/FileManager.h"

#include <systemd/sd-bus.h>

#include "platform/dbus/SessionBus.h"

namespace s::platform {

bool askFileManager(const SessionBus& bus, FileManagerRequest request, const std::string& path,
                    std::chrono::milliseconds bound) {
  if (!bus.connected() || !path.starts_with('/')) {
    return false;
  }
  const char* method =
      request == FileManagerRequest::kShowItems ? "ShowItems" : "ShowItemProperties";
  sd_bus_message* call = nullptr;
  if (sd_bus_message_new_method_call(bus.get(), &call, "org.freedesktop.FileManager1",
                                     "/org/freedesktop/FileManager1",
                                     "org.freedesktop.FileManager1", method) < 0) {
    return false;
  }
  BusMessagePtr owned(call);
  std::string uri = fileUri(path);
  // No startup notification id: the file manager raises its window as it sees fit.
  if (sd_bus_message_append(call, "ass", 1, uri.c_str(), "") < 0) {
    return false;
  }
  return bus.call(call, bound) != nullptr;
}

}  // namespace s::platform

#include "platform/dbus/SessionBus.h"

#include <systemd/sd-bus.h>

namespace s::platform {

void BusUnref::operator()(sd_bus* bus) const {
  sd_bus_flush_close_unref(bus);
}

void BusMessageUnref::operator()(sd_bus_message* message) const {
  sd_bus_message_unref(message);
}

SessionBus::SessionBus() {
  sd_bus* bus = nullptr;
  if (sd_bus_open_user(&bus) >= 0) {
    bus_.reset(bus);
  }
}

SessionBus::~SessionBus() = default;

bool SessionBus::hasOwner(const char* name) const {
  if (!bus_) {
    return false;
  }
  sd_bus_error error = SD_BUS_ERROR_NULL;
  sd_bus_message* reply = nullptr;
  int owned = 0;
  if (sd_bus_call_method(bus_.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus",
                         "org.freedesktop.DBus", "NameHasOwner", &error, &reply, "s", name) < 0 ||
      sd_bus_message_read(reply, "b", &owned) < 0) {
    owned = 0;
  }
  sd_bus_message_unref(reply);
  sd_bus_error_free(&error);
  return owned != 0;
}

pid_t SessionBus::daemonPid() const {
  sd_bus_creds* creds = nullptr;
  pid_t pid = -1;
  if (bus_ && sd_bus_get_owner_creds(bus_.get(), SD_BUS_CREDS_PID, &creds) >= 0 &&
      sd_bus_creds_get_pid(creds, &pid) < 0) {
    pid = -1;
  }
  sd_bus_creds_unref(creds);
  return pid;
}

BusMessagePtr SessionBus::call(sd_bus_message* call, std::chrono::milliseconds bound) const {
  if (!bus_ || call == nullptr) {
    return nullptr;
  }
  sd_bus_error error = SD_BUS_ERROR_NULL;
  sd_bus_message* reply = nullptr;
  auto usec = std::chrono::duration_cast<std::chrono::microseconds>(bound).count();
  int result = sd_bus_call(bus_.get(), call, static_cast<uint64_t>(usec), &error, &reply);
  sd_bus_error_free(&error);
  if (result < 0) {
    sd_bus_message_unref(reply);
    return nullptr;
  }
  return BusMessagePtr(reply);
}

}  // namespace s::platform

#pragma once

#include <sys/types.h>

#include <chrono>
#include <memory>

struct sd_bus;
struct sd_bus_message;

namespace s::platform {

struct BusUnref {
  void operator()(sd_bus* bus) const;
};
struct BusMessageUnref {
  void operator()(sd_bus_message* message) const;
};
using BusMessagePtr = std::unique_ptr<sd_bus_message, BusMessageUnref>;

// A connection of this program to the user's session bus ($DBUS_SESSION_BUS_ADDRESS, else
// $XDG_RUNTIME_DIR/bus), over sd-bus. One thread at a time; each user makes its own, which
// costs one socket.
class SessionBus {
 public:
  SessionBus();
  ~SessionBus();
  SessionBus(const SessionBus&) = delete;
  SessionBus& operator=(const SessionBus&) = delete;

  // False when there is no session bus to talk to.
  bool connected() const { return bus_ != nullptr; }
  sd_bus* get() const { return bus_.get(); }

  // Whether some program owns `name` now (not whether one could be started for it).
  bool hasOwner(const char* name) const;
  // The bus daemon's process, -1 when it cannot be told.
  pid_t daemonPid() const;
  // Sends `call` and waits at most `bound` for its reply; null when there is none or it is an
  // error (a name nobody owns and nothing starts, an unknown method).
  BusMessagePtr call(sd_bus_message* call, std::chrono::milliseconds bound) const;

 private:
  std::unique_ptr<sd_bus, BusUnref> bus_;
};

}  // namespace s::platform

#pragma once

#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <string>

#include "tests/support/TempFolder.h"

extern char** environ;

namespace s::test {

// A private D-Bus session bus: a dbus-daemon of its own, with no services to start, made the
// process's session bus ($DBUS_SESSION_BUS_ADDRESS) while the holder lives.
class SessionBusDaemon {
 public:
  SessionBusDaemon() {
    std::ofstream(folder_.path("session.conf"))
        << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\" "
           "\"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<busconfig><type>session</type><listen>unix:dir="
        << folder_.root().string()
        << "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
           "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
           "<allow own=\"*\"/></policy></busconfig>\n";
    int out[2];
    if (pipe(out) != 0) {
      return;
    }
    std::string config = "--config-file=" + folder_.path("session.conf").string();
    std::string print = "--print-address=" + std::to_string(out[1]);
    char* argv[] = {const_cast<char*>("dbus-daemon"), config.data(), const_cast<char*>("--nofork"),
                    print.data(), nullptr};
    if (posix_spawnp(&pid_, "dbus-daemon", nullptr, nullptr, argv, environ) != 0) {
      pid_ = -1;
    }
    close(out[1]);
    char buffer[512];
    ssize_t got = pid_ > 0 ? read(out[0], buffer, sizeof buffer) : -1;
    close(out[0]);
    if (got <= 0) {
      return;
    }
    address_.assign(buffer, static_cast<size_t>(got));
    while (!address_.empty() && address_.back() == '\n') {
      address_.pop_back();
    }
    if (const char* old = getenv("DBUS_SESSION_BUS_ADDRESS")) {
      previous_ = old;
    }
    setenv("DBUS_SESSION_BUS_ADDRESS", address_.c_str(), 1);
  }
  ~SessionBusDaemon() {
    if (previous_) {
      setenv("DBUS_SESSION_BUS_ADDRESS", previous_->c_str(), 1);
    } else {
      unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  SessionBusDaemon(const SessionBusDaemon&) = delete;
  SessionBusDaemon& operator=(const SessionBusDaemon&) = delete;

  bool ok() const { return !address_.empty(); }
  pid_t pid() const { return pid_; }
  const std::string& address() const { return address_; }

 private:
  TempFolder folder_;
  pid_t pid_ = -1;
  std::string address_;
  std::optional<std::string> previous_;
};

}  // namespace s::test

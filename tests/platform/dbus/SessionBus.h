#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

extern char** environ;

namespace s::testing {

// A private session bus for one test: dbus-daemon writes its address once it listens; the
// destructor ends it (and with it the services it started on demand).
class SessionBus {
 public:
  SessionBus() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
      return;
    }
    const int writeEnd = fcntl(fds[1], F_DUPFD, 10);
    close(fds[1]);
    const std::string print = "--print-address=" + std::to_string(writeEnd);
    const char* argv[] = {"dbus-daemon", "--session",   "--nofork",
                          "--nopidfile", print.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (posix_spawnp(&pid_, "dbus-daemon", &actions, nullptr, const_cast<char**>(argv), environ) !=
        0) {
      pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(writeEnd);
    pollfd wait{fds[0], POLLIN, 0};
    char c = 0;
    while (pid_ > 0 && poll(&wait, 1, 30000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n') {
      address_ += c;
    }
    close(fds[0]);
  }
  ~SessionBus() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  SessionBus(const SessionBus&) = delete;
  SessionBus& operator=(const SessionBus&) = delete;

  // "unix:path=...", or empty when the bus did not start.
  const std::string& address() const { return address_; }

 private:
  pid_t pid_ = -1;
  std::string address_;
};

}  // namespace s::testing

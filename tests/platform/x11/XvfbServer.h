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

// A private X server for one test program: Xvfb picks a free display number itself
// (-displayfd) and writes it once it accepts connections; the destructor ends it. `screen` is
// the first screen's width x height x depth.
class XvfbServer {
 public:
  explicit XvfbServer(const char* screen = "1024x768x24") {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
      return;
    }
    // The write end must survive exec, under a number we pass on the command line.
    const int writeEnd = fcntl(fds[1], F_DUPFD, 10);
    close(fds[1]);
    const std::string fd = std::to_string(writeEnd);
    const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen",  "0",
                          screen, "-nolisten",  "tcp",      "-noreset", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ) != 0) {
      pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(writeEnd);
    std::string number;
    pollfd wait{fds[0], POLLIN, 0};
    char c = 0;
    while (pid_ > 0 && poll(&wait, 1, 30000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n') {
      number += c;
    }
    close(fds[0]);
    if (!number.empty()) {
      name_ = ":" + number;
    }
  }
  ~XvfbServer() { stop(); }
  // Ends the server, as a session's end does.
  void stop() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
  }
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  // ":N", or empty when the server did not start.
  const std::string& name() const { return name_; }
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  std::string name_;
};

}  // namespace s::testing

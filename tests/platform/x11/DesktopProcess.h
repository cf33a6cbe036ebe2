#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

namespace s::testing {

// A desktop program a test runs against (a window manager, a tray, a panel): started on the
// X server `display` with `arguments`, its output discarded, ended with SIGTERM by stop() or
// the destructor. `environment` is added to DISPLAY (for instance the session bus's address).
class DesktopProcess {
 public:
  DesktopProcess(std::string display, std::vector<std::string> arguments,
                 std::vector<std::string> environment = {})
      : arguments_(std::move(arguments)), environment_(std::move(environment)) {
    environment_.push_back("DISPLAY=" + display);
    start();
  }
  ~DesktopProcess() { stop(); }
  DesktopProcess(const DesktopProcess&) = delete;
  DesktopProcess& operator=(const DesktopProcess&) = delete;

  bool start() {
    if (pid_ > 0) {
      return true;
    }
    std::vector<char*> argv;
    for (std::string& a : arguments_) {
      argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : environment_) {
      envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
      pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid_ > 0;
  }
  void stop() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
  }
  bool running() const { return pid_ > 0; }
  // Started and not ended since.
  bool alive() {
    if (pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;
    }
    return pid_ > 0;
  }

 private:
  std::vector<std::string> arguments_;
  std::vector<std::string> environment_;
  pid_t pid_ = -1;
};

}  // namespace s::testing

#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>

namespace s::testing {

// openbox on the server, as a desktop has a window manager; ended with the test.
class WindowManager {
 public:
  explicit WindowManager(const std::string& display) {
    const std::string variable = "DISPLAY=" + display;
    char* envp[] = {const_cast<char*>(variable.c_str()), nullptr};
    char* argv[] = {const_cast<char*>("openbox"), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (posix_spawnp(&pid_, "openbox", &actions, nullptr, argv, envp) != 0) {
      pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
  }
  ~WindowManager() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  WindowManager(const WindowManager&) = delete;
  WindowManager& operator=(const WindowManager&) = delete;
  bool running() const { return pid_ > 0; }

 private:
  pid_t pid_ = -1;
};

}  // namespace s::testing

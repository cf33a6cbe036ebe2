#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

extern char** environ;

namespace s::testing {

// A program of the desktop (a window manager, a notification area) run on a test's X server
// for as long as the object lives: started with the server in DISPLAY, quiet, ended on
// destruction.
class DesktopProgram {
 public:
  DesktopProgram(const std::string& display, std::vector<std::string> argv) {
    std::vector<std::string> env{"DISPLAY=" + display};
    for (char** e = environ; *e != nullptr; ++e) {
      if (std::string_view(*e).substr(0, 8) != "DISPLAY=") {
        env.emplace_back(*e);
      }
    }
    std::vector<char*> args;
    for (std::string& a : argv) {
      args.push_back(a.data());
    }
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : env) {
      envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), envp.data()) != 0) {
      pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
  }
  ~DesktopProgram() { end(); }
  DesktopProgram(const DesktopProgram&) = delete;
  DesktopProgram& operator=(const DesktopProgram&) = delete;

  bool started() const { return pid_ > 0; }
  // Ends it now (SIGTERM) and waits until it has.
  void end() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
  }

 private:
  pid_t pid_ = -1;
};

}  // namespace s::testing

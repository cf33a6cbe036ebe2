#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <string>
#include <thread>

// Last, for Xlib's macros.
#include <X11/Xlib.h>

namespace s::testing {

// openbox on a test's X server, as a desktop has a window manager; ended with the test.
// `ready()` waits until it manages windows.
class WindowManager {
 public:
  explicit WindowManager(const std::string& display) : display_(display) {
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

  // Whether the manager manages new windows, within 20 s: a window of its own is mapped, and
  // mapped again while the manager has not framed it (one mapped during its start-up is lost).
  bool ready() const {
    if (pid_ <= 0) {
      return false;
    }
    Display* probe = XOpenDisplay(display_.c_str());
    if (probe == nullptr) {
      return false;
    }
    const ::Window root = DefaultRootWindow(probe);
    const ::Window window =
        XCreateSimpleWindow(probe, root, 0, 0, 10, 10, 0, 0, BlackPixel(probe, 0));
    bool framed = false;
    for (int i = 0; i < 2000 && !framed; ++i) {
      if (i % 100 == 0) {
        XUnmapWindow(probe, window);
        XMapWindow(probe, window);
        XSync(probe, False);
      }
      ::Window rootOut = 0;
      ::Window parent = 0;
      ::Window* children = nullptr;
      unsigned count = 0;
      if (XQueryTree(probe, window, &rootOut, &parent, &children, &count) != 0) {
        framed = parent != root;
        XFree(children);
      }
      if (!framed) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    }
    XDestroyWindow(probe, window);
    XCloseDisplay(probe);
    return framed;
  }

 private:
  std::string display_;
  pid_t pid_ = -1;
};

}  // namespace s::testing

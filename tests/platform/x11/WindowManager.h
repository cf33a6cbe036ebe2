#pragma once

#include <chrono>
#include <string>
#include <thread>

#include "tests/platform/x11/DesktopProgram.h"

// Xlib's macros clash with gtest's names: include this after gtest.
#include <X11/Xlib.h>

namespace s::testing {

// openbox on a test's X server, as a desktop has a window manager. ready() waits until it
// manages windows, so that windows made afterwards are managed from the start, neither lost
// nor taken over (unmapped and mapped again) while a test runs.
class WindowManager {
 public:
  explicit WindowManager(const std::string& display)
      : display_(display), program_(display, {"openbox", "--sm-disable"}) {}

  bool ready() {
    if (!program_.started()) {
      return false;
    }
    Display* probe = XOpenDisplay(display_.c_str());
    if (probe == nullptr) {
      return false;
    }
    // openbox names its check window before its loop runs and drops a window mapped in
    // between: it is ready once it has put its WM_STATE on a window of ours, mapped again
    // until it does.
    const Atom wmState = XInternAtom(probe, "WM_STATE", False);
    const ::Window window =
        XCreateSimpleWindow(probe, DefaultRootWindow(probe), 0, 0, 10, 10, 0, 0, 0);
    bool managing = false;
    for (int attempt = 0; attempt < 20 && !managing; ++attempt) {
      XUnmapWindow(probe, window);
      XMapWindow(probe, window);
      XSync(probe, False);
      for (int i = 0; i < 50 && !managing; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        managing = XGetWindowProperty(probe, window, wmState, 0, 1, False, wmState, &type, &format,
                                      &count, &after, &data) == Success &&
                   type == wmState;
        if (data != nullptr) {
          XFree(data);
        }
      }
    }
    XDestroyWindow(probe, window);
    XCloseDisplay(probe);
    return managing;
  }

 private:
  std::string display_;
  DesktopProgram program_;
};

}  // namespace s::testing

#pragma once

#include <X11/Xlib.h>

namespace s::platform::x11 {

// Catches the X errors of the requests made while it lives, on this thread's display, instead of
// letting them reach the process-wide handler (which only logs). Xlib reports errors
// asynchronously, so sync() makes the server answer before the result is read.
class X11ErrorTrap {
 public:
  explicit X11ErrorTrap(Display* display);
  ~X11ErrorTrap();
  X11ErrorTrap(const X11ErrorTrap&) = delete;
  X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

  // Waits for the server and answers the first error code caught (Success when none).
  int sync();

  // Installs the process-wide handler once; safe from any thread.
  static void installHandler();

 private:
  static int onError(Display* display, XErrorEvent* error);

  Display* display_;
  int error_ = Success;
  X11ErrorTrap* outer_;
};

}  // namespace s::platform::x11

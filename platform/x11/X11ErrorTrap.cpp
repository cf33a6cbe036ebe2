#include "platform/x11/X11ErrorTrap.h"

#include <cstdio>
#include <mutex>

namespace s::platform::x11 {

namespace {
// Each thread has its own connection, so each has its own innermost trap.
thread_local X11ErrorTrap* innermost = nullptr;
}  // namespace

X11ErrorTrap::X11ErrorTrap(Display* display) : display_(display), outer_(innermost) {
  // Errors of earlier requests belong to no trap.
  XSync(display_, False);
  innermost = this;
}

X11ErrorTrap::~X11ErrorTrap() {
  XSync(display_, False);
  innermost = outer_;
}

int X11ErrorTrap::sync() {
  XSync(display_, False);
  return error_;
}

void X11ErrorTrap::installHandler() {
  static std::once_flag once;
  std::call_once(once, [] { XSetErrorHandler(&X11ErrorTrap::onError); });
}

int X11ErrorTrap::onError(Display* display, XErrorEvent* error) {
  for (X11ErrorTrap* trap = innermost; trap != nullptr; trap = trap->outer_) {
    if (trap->display_ == display) {
      if (trap->error_ == Success) {
        trap->error_ = error->error_code;
      }
      return 0;
    }
  }
  // Xlib's default handler ends the process; a stray error of a window request is not worth that.
  char text[128] = {};
  XGetErrorText(display, error->error_code, text, sizeof text);
  std::fprintf(stderr, "X error: %s (request %d.%d)\n", text, error->request_code,
               error->minor_code);
  return 0;
}

}  // namespace s::platform::x11

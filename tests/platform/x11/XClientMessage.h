#pragma once

#include <array>

// Xlib's macros clash with gtest's names: include this after gtest.
#include <X11/Xlib.h>

namespace s::testing {

// A 32-bit client message about `window`, as window managers and taskbars send them: to the
// window itself (WM_PROTOCOLS), or to the root window with the substructure masks (EWMH
// requests that the window manager carries out).
inline void sendClientMessage(Display* display, ::Window to, ::Window window, const char* type,
                              std::array<long, 5> data, long mask = NoEventMask) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, type, False);
  event.xclient.format = 32;
  for (std::size_t i = 0; i < data.size(); ++i) {
    event.xclient.data.l[i] = data[i];
  }
  XSendEvent(display, to, False, mask, &event);
  XSync(display, False);
}

// What a window manager sends when the user closes the window.
inline void askToClose(Display* display, ::Window window) {
  sendClientMessage(
      display, window, window, "WM_PROTOCOLS",
      {static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False)), CurrentTime, 0, 0, 0});
}

}  // namespace s::testing

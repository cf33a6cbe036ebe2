#include <X11/Xlib.h>

#include "platform/x11/X11Display.h"

namespace s::platform::x11 {

bool X11Display::beginMoveResize(ui::WindowId window, ui::MoveResize how, int rootX, int rootY,
                                 std::uint32_t button) {
  if (find(window) == nullptr) {
    return false;
  }
  // The window manager takes the pointer for the drag: the press's own grab must end first.
  XUngrabPointer(display_, CurrentTime);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = static_cast<XWindow>(window);
  event.xclient.message_type = XInternAtom(display_, "_NET_WM_MOVERESIZE", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = rootX;
  event.xclient.data.l[1] = rootY;
  event.xclient.data.l[2] = static_cast<long>(how);
  event.xclient.data.l[3] = static_cast<long>(button);
  event.xclient.data.l[4] = 1;  // from an application
  XSendEvent(display_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(display_);
  return true;
}

bool X11Display::activate(ui::WindowId window) {
  if (find(window) == nullptr) {
    return false;
  }
  XRaiseWindow(display_, static_cast<XWindow>(window));
  sendToRoot(static_cast<XWindow>(window), atom(kNetActiveWindow), 1, CurrentTime, 0);
  XFlush(display_);
  return true;
}

}  // namespace s::platform::x11

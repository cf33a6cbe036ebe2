// X11Display: tray icons, the XEmbed system-tray protocol's client side.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <string>

#include "platform/x11/X11Display.h"
#include "platform/x11/X11Window.h"

namespace s::platform::x11 {

namespace {

constexpr long kSystemTrayRequestDock = 0;
constexpr long kXembedVersion = 0;
constexpr long kXembedMapped = 1;  // the embedder maps the window

}  // namespace

X11Display::XWindow X11Display::trayManagerWindow() {
  const std::string selection = "_NET_SYSTEM_TRAY_S" + std::to_string(screen_);
  return XGetSelectionOwner(display_, XInternAtom(display_, selection.c_str(), False));
}

void X11Display::dockInTray(XWindow window, XWindow manager) {
  const long info[2] = {kXembedVersion, kXembedMapped};
  XChangeProperty(display_, window, atom(kXembedInfo), atom(kXembedInfo), 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(info), 2);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = manager;
  event.xclient.message_type = atom(kNetSystemTrayOpcode);
  event.xclient.format = 32;
  event.xclient.data.l[0] = CurrentTime;
  event.xclient.data.l[1] = kSystemTrayRequestDock;
  event.xclient.data.l[2] = static_cast<long>(window);
  XSendEvent(display_, manager, False, NoEventMask, &event);
  XFlush(display_);
}

void X11Display::handleReparent(XEvent& event, Win& win) {
  // A notification area that ends hands its icons back to the root, where the server maps
  // them: an icon by itself in a corner of the screen. It goes out of sight (kUnmap) until it is
  // docked again.
  if (win.kind != ui::WindowKind::kTrayIcon || event.xreparent.parent != root_) {
    return;
  }
  XUnmapWindow(display_, win.xid);
  XFlush(display_);
}

}  // namespace s::platform::x11

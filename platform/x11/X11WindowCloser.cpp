#include "platform/x11/X11WindowCloser.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <memory>
#include <utility>
#include <vector>

#include "platform/x11/X11ErrorTrap.h"
#include "platform/x11/X11Properties.h"

namespace s::platform::x11 {

namespace {

// The source field of EWMH requests: 2 is a pager or another tool acting for the user.
constexpr long kSourceTool = 2;

struct DisplayCloser {
  void operator()(Display* display) const { XCloseDisplay(display); }
};

}  // namespace

X11WindowCloser::X11WindowCloser(std::string displayName) : displayName_(std::move(displayName)) {}

int X11WindowCloser::closeWindows(int32_t pid) const {
  std::unique_ptr<Display, DisplayCloser> display(
      XOpenDisplay(displayName_.empty() ? nullptr : displayName_.c_str()));
  if (!display) {
    return 0;
  }
  X11ErrorTrap::installHandler();
  Display* x = display.get();
  ::Window root = DefaultRootWindow(x);
  std::vector<unsigned long> clients;
  if (!readLongs(x, root, XInternAtom(x, "_NET_CLIENT_LIST", False), XA_WINDOW, clients)) {
    return 0;
  }
  Atom wmPid = XInternAtom(x, "_NET_WM_PID", False);
  Atom closeWindow = XInternAtom(x, "_NET_CLOSE_WINDOW", False);
  std::vector<unsigned long> owner;
  int asked = 0;
  for (unsigned long client : clients) {
    if (!readLongs(x, client, wmPid, XA_CARDINAL, owner) || owner.size() != 1 ||
        owner[0] != static_cast<unsigned long>(pid) || !hasTitle(x, client)) {
      continue;
    }
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = client;
    request.xclient.message_type = closeWindow;
    request.xclient.format = 32;
    request.xclient.data.l[0] = CurrentTime;
    request.xclient.data.l[1] = kSourceTool;
    XSendEvent(x, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
    ++asked;
  }
  XSync(x, False);
  return asked;
}

bool X11WindowCloser::askToClose(int32_t pid) {
  if (pid <= 0) {
    return false;
  }
  return closeWindows(pid) > 0 || TerminateSignalCloser::instance().askToClose(pid);
}

}  // namespace s::platform::x11

#include "platform/x11/X11DesktopProcesses.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XRes.h>
#include <sys/socket.h>

#include <memory>

#include "platform/x11/X11ErrorTrap.h"
#include "platform/x11/X11Properties.h"

namespace s::platform::x11 {

namespace {

struct DisplayCloser {
  void operator()(Display* display) const { XCloseDisplay(display); }
};

int32_t serverPid(Display* display) {
  ucred peer{};
  socklen_t size = sizeof peer;
  // Only a local (UNIX socket) connection has a peer process to tell.
  if (getsockopt(ConnectionNumber(display), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 ||
      peer.pid <= 0) {
    return -1;
  }
  return peer.pid;
}

// The pid of the (local) client that made `window`, through the X-Resource extension.
int32_t clientPidOf(Display* display, ::Window window) {
  int eventBase = 0;
  int errorBase = 0;
  if (!XResQueryExtension(display, &eventBase, &errorBase)) {
    return -1;
  }
  XResClientIdSpec spec{window, XRES_CLIENT_ID_PID_MASK};
  long count = 0;
  XResClientIdValue* ids = nullptr;
  X11ErrorTrap trap(display);
  Status status = XResQueryClientIds(display, 1, &spec, &count, &ids);
  int32_t pid = -1;
  if (trap.sync() == Success && status == Success) {
    for (long i = 0; i < count; ++i) {
      pid_t found = XResGetClientPid(&ids[i]);
      if (found > 0) {
        pid = found;
      }
    }
  }
  XResClientIdsDestroy(count, ids);
  return pid;
}

int32_t windowManagerPid(Display* display) {
  Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
  std::vector<unsigned long> values;
  if (!readLongs(display, DefaultRootWindow(display), check, XA_WINDOW, values) ||
      values.size() != 1) {
    return -1;
  }
  ::Window wm = values[0];
  // The check window names itself: a stale property of a manager that has gone does not.
  std::vector<unsigned long> self;
  if (!readLongs(display, wm, check, XA_WINDOW, self) || self.size() != 1 || self[0] != wm) {
    return -1;
  }
  if (readLongs(display, wm, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, values) &&
      values.size() == 1) {
    return static_cast<int32_t>(values[0]);
  }
  // Many managers (openbox among them) do not name their pid; the server knows which client
  // made the window.
  return clientPidOf(display, wm);
}

}  // namespace

void desktopProcessIds(std::vector<int32_t>& pids, const std::string& displayName) {
  std::unique_ptr<Display, DisplayCloser> display(
      XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str()));
  if (!display) {
    return;
  }
  X11ErrorTrap::installHandler();
  for (int32_t pid : {serverPid(display.get()), windowManagerPid(display.get())}) {
    if (pid > 0) {
      pids.push_back(pid);
    }
  }
}

}  // namespace s::platform::x11

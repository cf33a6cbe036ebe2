#include "platform/x11/X11Clipboard.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace s::platform::x11 {

namespace {

// The bytes one ChangeProperty request can carry, its own header left out.
long maxPropertyBytes(Display* display) {
  long units = XExtendedMaxRequestSize(display);
  if (units == 0) {
    units = XMaxRequestSize(display);
  }
  return units * 4 - 64;
}

}  // namespace

X11Clipboard::X11Clipboard(Display* display)
    : display_(display),
      clipboard_(XInternAtom(display, "CLIPBOARD", False)),
      targets_(XInternAtom(display, "TARGETS", False)),
      utf8_(XInternAtom(display, "UTF8_STRING", False)),
      plainUtf8_(XInternAtom(display, "text/plain;charset=utf-8", False)) {}

bool X11Clipboard::offer(unsigned long window, std::string_view utf8) {
  if (static_cast<long>(utf8.size()) > maxPropertyBytes(display_)) {
    return false;
  }
  XSetSelectionOwner(display_, clipboard_, window, CurrentTime);
  if (XGetSelectionOwner(display_, clipboard_) != window) {
    return false;
  }
  owner_ = window;
  text_.assign(utf8);
  XFlush(display_);
  return true;
}

void X11Clipboard::forget(unsigned long window) {
  if (window == owner_) {
    owner_ = 0;
    text_.clear();
  }
}

bool X11Clipboard::handle(XEvent& event) {
  if (event.type == SelectionClear) {
    const XSelectionClearEvent& clear = event.xselectionclear;
    if (clear.selection != clipboard_ || clear.window != owner_) {
      return false;
    }
    forget(owner_);
    return true;
  }
  if (event.type != SelectionRequest) {
    return false;
  }
  const XSelectionRequestEvent& request = event.xselectionrequest;
  if (request.selection != clipboard_ || request.owner != owner_ || owner_ == 0) {
    return false;
  }
  XSelectionEvent reply{};
  reply.type = SelectionNotify;
  reply.display = display_;
  reply.requestor = request.requestor;
  reply.selection = request.selection;
  reply.target = request.target;
  reply.time = request.time;
  reply.property = None;
  // Clients of the old protocol name no property: the target stands for it.
  const Atom property = request.property != None ? request.property : request.target;
  if (request.target == targets_) {
    const Atom offered[] = {targets_, utf8_, plainUtf8_};
    XChangeProperty(display_, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(offered), 3);
    reply.property = property;
  } else if (request.target == utf8_ || request.target == plainUtf8_) {
    XChangeProperty(display_, request.requestor, property, request.target, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text_.data()),
                    static_cast<int>(text_.size()));
    reply.property = property;
  }
  XSendEvent(display_, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
  XFlush(display_);
  return true;
}

}  // namespace s::platform::x11

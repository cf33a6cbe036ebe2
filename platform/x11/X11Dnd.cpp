// The target side of XDND (version 5) for text/uri-list drags onto the display's windows.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <string>

#include "platform/x11/X11Display.h"
#include "platform/x11/X11ErrorTrap.h"
#include "platform/x11/X11Window.h"

namespace s::platform::x11 {

using ui::Event;
using ui::EventKind;
using ui::WindowId;

namespace {

// The XDND version we speak, and the largest uri-list we take (a drop of many thousands of
// files still fits).
constexpr long kXdndVersion = 5;
constexpr long kMaxDropLongs = 1 << 20;

}  // namespace

bool X11Display::setDropTarget(WindowId window, bool accept) {
  Win* win = find(window);
  if (win == nullptr) {
    return false;
  }
  if (accept) {
    const Atom version = kXdndVersion;
    XChangeProperty(display_, win->xid, atom(kXdndAware), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&version), 1);
  } else {
    XDeleteProperty(display_, win->xid, atom(kXdndAware));
  }
  XFlush(display_);
  return true;
}

void X11Display::sendDnd(XWindow to, XAtom type, long a, long b, long c, long d, long e) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = to;
  event.xclient.message_type = type;
  event.xclient.format = 32;
  event.xclient.data.l[0] = a;
  event.xclient.data.l[1] = b;
  event.xclient.data.l[2] = c;
  event.xclient.data.l[3] = d;
  event.xclient.data.l[4] = e;
  // The source may be gone already.
  X11ErrorTrap trap(display_);
  XSendEvent(display_, to, False, NoEventMask, &event);
  trap.sync();
}

void X11Display::finishDrop(bool accepted) {
  sendDnd(drag_.source, atom(kXdndFinished), static_cast<long>(drag_.target), accepted ? 1 : 0,
          accepted ? static_cast<long>(atom(kXdndActionCopy)) : 0, 0, 0);
  drag_ = {};
}

bool X11Display::handleDnd(XEvent& event, Win& win, ui::IEventSink& sink) {
  const XClientMessageEvent& m = event.xclient;
  const XAtom type = m.message_type;
  if (m.format != 32 || (type != atom(kXdndEnter) && type != atom(kXdndPosition) &&
                         type != atom(kXdndLeave) && type != atom(kXdndDrop))) {
    return false;
  }
  const auto source = static_cast<XWindow>(m.data.l[0]);
  const auto target = static_cast<WindowId>(win.xid);
  if (type == atom(kXdndEnter)) {
    drag_ = {};
    const long version = (m.data.l[1] >> 24) & 0xFF;
    if (version < 2) {
      return true;
    }
    drag_.source = source;
    drag_.target = target;
    if ((m.data.l[1] & 1) != 0) {
      // More than three types: the source lists them on its window.
      Atom actualType = 0;
      int format = 0;
      unsigned long count = 0;
      unsigned long after = 0;
      unsigned char* data = nullptr;
      X11ErrorTrap trap(display_);
      XGetWindowProperty(display_, source, atom(kXdndTypeList), 0, 1024, False, XA_ATOM,
                         &actualType, &format, &count, &after, &data);
      trap.sync();
      const auto* types = reinterpret_cast<const Atom*>(data);
      for (unsigned long i = 0; data != nullptr && format == 32 && i < count; ++i) {
        drag_.offersUris = drag_.offersUris || types[i] == atom(kTextUriList);
      }
      XFree(data);
    } else {
      for (int i = 2; i < 5; ++i) {
        drag_.offersUris = drag_.offersUris || static_cast<Atom>(m.data.l[i]) == atom(kTextUriList);
      }
    }
    return true;
  }
  if (source != drag_.source || target != drag_.target || drag_.awaitingData) {
    return true;
  }
  if (type == atom(kXdndLeave)) {
    drag_ = {};
    return true;
  }
  if (type == atom(kXdndPosition)) {
    const int rootX = static_cast<int>((m.data.l[2] >> 16) & 0xFFFF);
    const int rootY = static_cast<int>(m.data.l[2] & 0xFFFF);
    Window child = 0;
    XTranslateCoordinates(display_, root_, win.xid, rootX, rootY, &drag_.x, &drag_.y, &child);
    drag_.time = static_cast<unsigned long>(m.data.l[3]);
    drag_.accepted = false;
    if (drag_.offersUris) {
      Event out;
      out.kind = EventKind::kDragOver;
      out.window = target;
      out.x = drag_.x;
      out.y = drag_.y;
      out.rootX = rootX;
      out.rootY = rootY;
      dragAnswer_ = false;
      sink.onPlatformEvent(out);
      drag_.accepted = dragAnswer_;
    }
    // Bit 1: where the drop is taken depends on the point, so every move is to be reported.
    sendDnd(source, atom(kXdndStatus), static_cast<long>(win.xid), (drag_.accepted ? 1 : 0) | 2, 0,
            0, drag_.accepted ? static_cast<long>(atom(kXdndActionCopy)) : 0);
    return true;
  }
  // The drop: the data is asked for and arrives as SelectionNotify.
  if (!drag_.accepted) {
    finishDrop(false);
    return true;
  }
  drag_.awaitingData = true;
  XConvertSelection(display_, atom(kXdndSelection), atom(kTextUriList), atom(kDropProperty),
                    win.xid, m.data.l[2] != 0 ? static_cast<Time>(m.data.l[2]) : drag_.time);
  XFlush(display_);
  return true;
}

void X11Display::handleDropData(XEvent& event, Win& win, ui::IEventSink& sink) {
  const XSelectionEvent& notify = event.xselection;
  if (!drag_.awaitingData || notify.selection != atom(kXdndSelection) ||
      drag_.target != static_cast<WindowId>(win.xid)) {
    return;
  }
  bool accepted = false;
  if (notify.property != 0) {
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display_, win.xid, notify.property, 0, kMaxDropLongs, True, AnyPropertyType,
                       &actualType, &format, &count, &after, &data);
    // An incremental transfer (type INCR) or a cut-off list is refused rather than half taken.
    if (data != nullptr && format == 8 && after == 0 &&
        actualType != XInternAtom(display_, "INCR", False)) {
      dropped_.assign(reinterpret_cast<const char*>(data), count);
      Event out;
      out.kind = EventKind::kDrop;
      out.window = drag_.target;
      out.x = drag_.x;
      out.y = drag_.y;
      dragAnswer_ = false;
      sink.onPlatformEvent(out);
      accepted = dragAnswer_;
      dropped_.clear();
    }
    XFree(data);
  }
  finishDrop(accepted);
}

}  // namespace s::platform::x11

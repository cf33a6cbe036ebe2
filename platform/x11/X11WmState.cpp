// X11Display: the window manager's state of our top-level windows, from WM_STATE (iconic or
// not) and _NET_WM_STATE (maximized, hidden), read again whenever the window manager changes
// either.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>

#include "platform/x11/X11Window.h"

namespace s::platform::x11 {

namespace {

// The items of a 32-bit property, or none when it is absent or of another type.
class Property {
 public:
  Property(Display* display, Window window, Atom name, Atom type) {
    Atom actualType = None;
    int format = 0;
    unsigned long after = 0;
    if (XGetWindowProperty(display, window, name, 0, kMaxItems, False, type, &actualType, &format,
                           &count_, &after, &data_) != Success ||
        actualType != type || format != 32) {
      count_ = 0;
    }
  }
  ~Property() {
    if (data_ != nullptr) {
      XFree(data_);
    }
  }
  Property(const Property&) = delete;
  Property& operator=(const Property&) = delete;

  // Xlib hands 32-bit items over as longs.
  const unsigned long* begin() const { return reinterpret_cast<const unsigned long*>(data_); }
  const unsigned long* end() const { return begin() + count_; }
  bool empty() const { return count_ == 0; }

 private:
  static constexpr long kMaxItems = 64;
  unsigned char* data_ = nullptr;
  unsigned long count_ = 0;
};

}  // namespace

ui::WmState X11Display::readWmState(XWindow window) const {
  ui::WmState state;
  const Property wmState(display_, window, atom(kWmState), atom(kWmState));
  const bool iconic = !wmState.empty() && *wmState.begin() == IconicState;
  const Property netState(display_, window, atom(kNetWmState), XA_ATOM);
  auto has = [&](AtomName name) {
    return std::find(netState.begin(), netState.end(), atom(name)) != netState.end();
  };
  state.maximized = has(kNetWmStateMaximizedVert) && has(kNetWmStateMaximizedHorz);
  state.minimized = iconic || has(kNetWmStateHidden);
  return state;
}

void X11Display::handleStateProperty(XEvent& event, Win& win, ui::IEventSink& sink) {
  const Atom changed = event.xproperty.atom;
  if (win.kind != ui::WindowKind::kTopLevel ||
      (changed != atom(kWmState) && changed != atom(kNetWmState))) {
    return;
  }
  const ui::WmState now = readWmState(win.xid);
  if (now == win.reported) {
    return;
  }
  win.reported = now;
  // So that our own state requests carry the state the window manager gave.
  win.maximized = now.maximized;
  ui::Event out;
  out.kind = ui::EventKind::kStateChanged;
  out.window = static_cast<ui::WindowId>(win.xid);
  out.wmState = now;
  sink.onPlatformEvent(out);
}

}  // namespace s::platform::x11

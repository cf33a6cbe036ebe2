#include "platform/x11/X11Properties.h"

#include <X11/Xatom.h>

#include <memory>

#include "platform/x11/X11ErrorTrap.h"

namespace s::platform::x11 {

namespace {

// Long enough for any client list a desktop holds.
constexpr long kMaxLongs = 65536;

struct XFreer {
  void operator()(unsigned char* data) const { XFree(data); }
};

// One XGetWindowProperty with its errors caught.
struct Property {
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  std::unique_ptr<unsigned char, XFreer> data;
  bool ok = false;

  Property(Display* display, ::Window window, Atom property, Atom wanted, long longs) {
    unsigned char* bytes = nullptr;
    X11ErrorTrap trap(display);
    int status = XGetWindowProperty(display, window, property, 0, longs, False, wanted, &type,
                                    &format, &count, &after, &bytes);
    data.reset(bytes);
    ok = trap.sync() == Success && status == Success && data != nullptr;
  }
};

}  // namespace

bool readLongs(Display* display, ::Window window, Atom property, Atom type,
               std::vector<unsigned long>& values) {
  values.clear();
  Property read(display, window, property, type, kMaxLongs);
  if (!read.ok || read.type != type || read.format != 32) {
    return false;
  }
  const auto* items = reinterpret_cast<const unsigned long*>(read.data.get());
  values.assign(items, items + read.count);
  return true;
}

bool hasTitle(Display* display, ::Window window) {
  for (Atom name : {XInternAtom(display, "_NET_WM_NAME", False), XA_WM_NAME}) {
    // One long tells whether there is any text, and how much more there is.
    Property read(display, window, name, AnyPropertyType, 1);
    if (read.ok && read.format == 8 && read.count + read.after > 0) {
      return true;
    }
  }
  return false;
}

}  // namespace s::platform::x11

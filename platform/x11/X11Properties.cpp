#include "platform/x11/X11Properties.h"

#include <X11/Xatom.h>

#include "platform/x11/X11ErrorTrap.h"

namespace s::platform::x11 {

namespace {

// Long enough for any client list a desktop holds.
constexpr long kMaxLongs = 65536;

// The length of a property of any type and of 8-bit items; 0 when there is none.
unsigned long textLength(Display* display, ::Window window, Atom property) {
  Atom actualType = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  X11ErrorTrap trap(display);
  int status = XGetWindowProperty(display, window, property, 0, 1, False, AnyPropertyType,
                                  &actualType, &format, &count, &after, &data);
  bool ok = trap.sync() == Success && status == Success && format == 8;
  if (data != nullptr) {
    XFree(data);
  }
  return ok ? count + after : 0;
}

}  // namespace

bool readLongs(Display* display, ::Window window, Atom property, Atom type,
               std::vector<unsigned long>& values) {
  values.clear();
  Atom actualType = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  X11ErrorTrap trap(display);
  int status = XGetWindowProperty(display, window, property, 0, kMaxLongs, False, type, &actualType,
                                  &format, &count, &after, &data);
  bool ok = trap.sync() == Success && status == Success && data != nullptr && actualType == type &&
            format == 32;
  if (ok) {
    const auto* items = reinterpret_cast<const unsigned long*>(data);
    values.assign(items, items + count);
  }
  if (data != nullptr) {
    XFree(data);
  }
  return ok;
}

bool hasTitle(Display* display, ::Window window) {
  return textLength(display, window, XInternAtom(display, "_NET_WM_NAME", False)) > 0 ||
         textLength(display, window, XA_WM_NAME) > 0;
}

}  // namespace s::platform::x11

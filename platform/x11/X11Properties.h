#pragma once

#include <X11/Xlib.h>

#include <vector>

namespace s::platform::x11 {

// The 32-bit items of a window's property of `type` (CARDINAL, WINDOW, ...), as Xlib gives
// them (one long each). False when the window or the property is missing or of another form.
bool readLongs(Display* display, ::Window window, Atom property, Atom type,
               std::vector<unsigned long>& values);

// Whether the window has a title that is not empty (_NET_WM_NAME, else WM_NAME).
bool hasTitle(Display* display, ::Window window);

}  // namespace s::platform::x11

#pragma once

#include <X11/Xlib.h>

namespace s::platform::x11 {

// A new connection to the X server `name` (nullptr: the DISPLAY variable), made ready for a
// program whose threads keep each to its own connections; nullptr when the server cannot be
// reached.
Display* openConnection(const char* name);

}  // namespace s::platform::x11

#pragma once

#include <X11/Xlib.h>

#include <optional>

namespace s::platform::x11 {

// What the desktop tells X programs through the resource database (xrdb, the settings
// daemons), kept in the RESOURCE_MANAGER property of the display's first screen.
//
// The text resolution Xft.dpi of that database; empty when it is not set or is no number.
std::optional<double> xftDpi(Display* display);
// The same from a connection opened just to read it (`name` nullptr: $DISPLAY); empty when the
// display cannot be opened.
std::optional<double> xftDpiOf(const char* name);

}  // namespace s::platform::x11

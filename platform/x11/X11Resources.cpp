#include "platform/x11/X11Resources.h"

#include <X11/Xresource.h>

#include <cmath>
#include <cstdlib>
#include <mutex>
#include <string>

namespace s::platform::x11 {

std::optional<double> xftDpi(Display* display) {
  const char* resources = display != nullptr ? XResourceManagerString(display) : nullptr;
  if (resources == nullptr) {
    return std::nullopt;
  }
  static std::once_flag initialised;
  std::call_once(initialised, [] { XrmInitialize(); });
  XrmDatabase database = XrmGetStringDatabase(resources);
  if (database == nullptr) {
    return std::nullopt;
  }
  std::optional<double> dpi;
  char* type = nullptr;
  XrmValue value{};
  if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) != 0 && value.addr != nullptr) {
    const std::string text(value.addr, value.size > 0 ? value.size - 1 : 0);
    char* end = nullptr;
    const double number = std::strtod(text.c_str(), &end);
    if (end != text.c_str() && std::isfinite(number) && number > 0) {
      dpi = number;
    }
  }
  XrmDestroyDatabase(database);
  return dpi;
}

std::optional<double> xftDpiOf(const char* name) {
  // As for every connection of the program: Xlib's process-wide state wants this first.
  static std::once_flag threads;
  std::call_once(threads, [] { XInitThreads(); });
  Display* display = XOpenDisplay(name);
  if (display == nullptr) {
    return std::nullopt;
  }
  const std::optional<double> dpi = xftDpi(display);
  XCloseDisplay(display);
  return dpi;
}

}  // namespace s::platform::x11

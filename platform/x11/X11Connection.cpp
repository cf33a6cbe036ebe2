#include "platform/x11/X11Connection.h"

#include <mutex>

#include "platform/x11/X11ErrorTrap.h"

namespace s::platform::x11 {

Display* openConnection(const char* name) {
  // Each thread keeps to its own connection, but Xlib also has process-wide state (the locale
  // and input-method tables, the resource manager, the error handler); XInitThreads guards it.
  // libX11 1.8 and later call it on their own; calling it first is harmless.
  static std::once_flag threads;
  std::call_once(threads, [] { XInitThreads(); });
  X11ErrorTrap::installHandler();
  return XOpenDisplay(name);
}

}  // namespace s::platform::x11

#pragma once

#include <cstdint>
#include <string>

#include "platform/linux/IPoliteCloser.h"

namespace s::platform::x11 {

// Asks a process to close the way its windows' close buttons do: the window manager is asked
// (_NET_CLOSE_WINDOW) to close each titled top-level window of the process (those of
// _NET_CLIENT_LIST whose _NET_WM_PID is the process), so that the program may ask to save its
// work. A process with no such window, or a desktop without a window manager or X server,
// gets SIGTERM. Each request makes its own short connection to the X server, so the closer may
// be used from any thread.
class X11WindowCloser final : public IPoliteCloser {
 public:
  // `displayName` as XOpenDisplay takes it; empty for $DISPLAY.
  explicit X11WindowCloser(std::string displayName = {});

  bool askToClose(int32_t pid) override;

 private:
  // The number of windows asked to close.
  int closeWindows(int32_t pid) const;

  std::string displayName_;
};

}  // namespace s::platform::x11

#pragma once

#include <functional>

#include "platform/linux/EndRequests.h"

namespace s::app::win {

// A descriptor the wait serves besides the end requests (the single-instance socket): `ready`
// runs on the waiting thread whenever `fd` is readable. None when fd is -1.
struct WatchedFd {
  int fd = -1;
  std::function<void()> ready;
};

// The start-up thread's wait while the main window is open, one look every 10 ms: `closed`
// says whether the window has closed. A request to end from outside (an end signal, or the
// display lost: the program's entry point hands that over from its display backend, for X11
// with X11Display::setConnectionLostHandler calling ends.displayLost()) is handed to `exit`
// once. `exit` does what "Exit" does: the window closes the way it always does, keeping its
// place and the column orders, and the wait goes on until it has. Answers the exit status: 0
// for a window closed by the user, else the first request's.
int waitUntilClosed(platform::EndRequests& ends, const std::function<bool()>& closed,
                    const std::function<void(const platform::EndRequest&)>& exit,
                    const WatchedFd& also = {});

}  // namespace s::app::win

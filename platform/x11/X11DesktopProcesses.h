#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace s::platform::x11 {

// The processes the X desktop stands on, where they can be told: the X server (the peer of a
// local connection to it) and the running window manager (the _NET_WM_PID of the window that
// _NET_SUPPORTING_WM_CHECK names). `displayName` as XOpenDisplay takes it; empty for
// $DISPLAY. Appends nothing when there is no X server.
void desktopProcessIds(std::vector<int32_t>& pids, const std::string& displayName = {});

}  // namespace s::platform::x11

#pragma once

#include <cstdint>

namespace s::platform::ui {

// A drag the window manager carries out for the window: sizing by one of its edges or corners,
// or moving it. The values are the directions of the desktop's window-manager protocol.
enum class MoveResize : std::uint8_t {
  kSizeTopLeft = 0,
  kSizeTop = 1,
  kSizeTopRight = 2,
  kSizeRight = 3,
  kSizeBottomRight = 4,
  kSizeBottom = 5,
  kSizeBottomLeft = 6,
  kSizeLeft = 7,
  kMove = 8,
};

}  // namespace s::platform::ui

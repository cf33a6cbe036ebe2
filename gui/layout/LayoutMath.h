#pragma once

#include <cstdint>

namespace s::gui::win {

// Where a block starts in `free` pixels of room: 0 for left/top, half for centre/middle, all
// for right/bottom; nothing when there is no room.
inline std::int32_t alignedOffset(std::int32_t free, std::int32_t align) {
  if (free < 1) {
    return 0;
  }
  return align == 1 ? free / 2 : align == 2 ? free : 0;
}

}  // namespace s::gui::win

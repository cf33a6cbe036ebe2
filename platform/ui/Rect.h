#pragma once

#include <algorithm>
#include <cstdint>

namespace s::platform::ui {

// A rectangle in pixels; empty when either side is not positive.
struct Rect {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;

  bool empty() const { return width <= 0 || height <= 0; }
  bool operator==(const Rect&) const = default;

  // The part of this rectangle inside `other`.
  Rect intersected(const Rect& other) const {
    const std::int32_t left = std::max(x, other.x);
    const std::int32_t top = std::max(y, other.y);
    const std::int32_t right = std::min(x + width, other.x + other.width);
    const std::int32_t bottom = std::min(y + height, other.y + other.height);
    if (right <= left || bottom <= top) {
      return {};
    }
    return {left, top, right - left, bottom - top};
  }
};

}  // namespace s::platform::ui

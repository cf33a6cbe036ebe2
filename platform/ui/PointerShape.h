#pragma once

#include <cstdint>

namespace s::platform::ui {

// The pointer shapes the toolkit shows. Resize shapes name the edge or corner being dragged.
enum class PointerShape : std::uint8_t {
  kInherit,  // a component's "no preference": its parent's shape applies (arrow at the top)
  kArrow,
  kHand,   // links and buttons
  kIBeam,  // text
  kNotAllowed,
  kSizeLeft,
  kSizeRight,
  kSizeTop,
  kSizeBottom,
  kSizeTopLeft,
  kSizeTopRight,
  kSizeBottomLeft,
  kSizeBottomRight,
};
inline constexpr int kPointerShapeCount = 13;

}  // namespace s::platform::ui

#include "gui/layout/ResizeZones.h"

namespace s::gui::win {

using platform::ui::MoveResize;
using platform::ui::PointerShape;

namespace {
constexpr std::int32_t kEdge = 5;
constexpr std::int32_t kCorner = 30;
}  // namespace

std::optional<MoveResize> resizeZoneAt(std::int32_t x, std::int32_t y, std::int32_t width,
                                       std::int32_t height) {
  if (x >= width - kEdge) {
    if (y < kCorner) {
      return MoveResize::kSizeTopRight;
    }
    return y > height - kCorner ? MoveResize::kSizeBottomRight : MoveResize::kSizeRight;
  }
  if (x < kEdge) {
    if (y < kCorner) {
      return MoveResize::kSizeTopLeft;
    }
    return y > height - kCorner ? MoveResize::kSizeBottomLeft : MoveResize::kSizeLeft;
  }
  if (y < kEdge) {
    if (x < kCorner) {
      return MoveResize::kSizeTopLeft;
    }
    return x > width - kCorner ? MoveResize::kSizeTopRight : MoveResize::kSizeTop;
  }
  if (y >= height - kEdge) {
    if (x < kCorner) {
      return MoveResize::kSizeBottomLeft;
    }
    return x > width - kCorner ? MoveResize::kSizeBottomRight : MoveResize::kSizeBottom;
  }
  return std::nullopt;
}

PointerShape pointerFor(MoveResize zone) {
  switch (zone) {
    case MoveResize::kSizeTopLeft:
      return PointerShape::kSizeTopLeft;
    case MoveResize::kSizeTop:
      return PointerShape::kSizeTop;
    case MoveResize::kSizeTopRight:
      return PointerShape::kSizeTopRight;
    case MoveResize::kSizeRight:
      return PointerShape::kSizeRight;
    case MoveResize::kSizeBottomRight:
      return PointerShape::kSizeBottomRight;
    case MoveResize::kSizeBottom:
      return PointerShape::kSizeBottom;
    case MoveResize::kSizeBottomLeft:
      return PointerShape::kSizeBottomLeft;
    case MoveResize::kSizeLeft:
      return PointerShape::kSizeLeft;
    case MoveResize::kMove:
      break;
  }
  return PointerShape::kArrow;
}

}  // namespace s::gui::win

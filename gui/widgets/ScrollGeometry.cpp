#include "gui/widgets/ScrollGeometry.h"

#include <algorithm>

namespace s::gui::scrollbar::win {

std::int64_t roundedDivision(std::int64_t n, std::int64_t d) {
  return n >= 0 ? (2 * n + d) / (2 * d) : -((-2 * n + d) / (2 * d));
}

ScrollGeometry ScrollGeometry::of(std::int32_t length, std::int32_t thickness,
                                  const ScrollInfo& info) {
  ScrollGeometry g;
  g.length = std::max(length, 0);
  g.thickness = std::max(thickness, 0);
  g.track = std::max(g.length - 2 * g.thickness, 0);
  if (info.page >= info.total || info.total <= 0 || g.track < kMinThumb) {
    return g;
  }
  g.hasThumb = true;
  g.thumbLength = static_cast<std::int32_t>(
      roundedDivision(static_cast<std::int64_t>(info.page) * g.track, info.total));
  g.thumbLength = std::clamp(g.thumbLength, kMinThumb, g.track);
  const std::int64_t room = g.track - g.thumbLength;
  g.thumbOffset = static_cast<std::int32_t>(
      roundedDivision(room * info.clamped(info.position), info.total - info.page));
  return g;
}

ScrollPart ScrollGeometry::partAt(std::int32_t along) const {
  if (along < 0 || along >= length) {
    return ScrollPart::kNone;
  }
  if (along < thickness) {
    return ScrollPart::kFirstArrow;
  }
  if (along >= length - thickness) {
    return ScrollPart::kSecondArrow;
  }
  if (!hasThumb) {
    return ScrollPart::kNone;
  }
  const std::int32_t onTrack = along - thickness;
  if (onTrack < thumbOffset) {
    return ScrollPart::kTrackBefore;
  }
  return onTrack < thumbOffset + thumbLength ? ScrollPart::kThumb : ScrollPart::kTrackAfter;
}

std::int32_t ScrollGeometry::draggedPosition(const ScrollInfo& info, std::int32_t startPosition,
                                             std::int32_t moved) const {
  const std::int32_t room = track - thumbLength;
  if (!hasThumb || room <= 0) {
    return info.clamped(startPosition);
  }
  const std::int32_t offset = thumbOffset + moved;
  if (offset <= 0) {
    return 0;
  }
  if (offset >= room) {
    return info.maxPosition();
  }
  const std::int64_t step =
      roundedDivision(static_cast<std::int64_t>(moved) * (info.total - info.page), room);
  return info.clamped(static_cast<std::int32_t>(startPosition + step));
}

void ScrollGeometry::span(ScrollPart part, std::int32_t& start, std::int32_t& size) const {
  start = 0;
  size = 0;
  switch (part) {
    case ScrollPart::kFirstArrow:
      size = std::min(thickness, length);
      break;
    case ScrollPart::kSecondArrow:
      start = std::max(length - thickness, 0);
      size = length - start;
      break;
    case ScrollPart::kTrackBefore:
      start = thickness;
      size = hasThumb ? thumbOffset : track;
      break;
    case ScrollPart::kThumb:
      start = thickness + thumbOffset;
      size = hasThumb ? thumbLength : 0;
      break;
    case ScrollPart::kTrackAfter:
      start = thickness + thumbOffset + thumbLength;
      size = hasThumb ? track - thumbOffset - thumbLength : 0;
      break;
    case ScrollPart::kNone:
      break;
  }
}

}  // namespace s::gui::scrollbar::win

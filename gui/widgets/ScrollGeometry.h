#pragma once

#include <cstdint>

#include "gui/widgets/ScrollInfo.h"

namespace s::gui::scrollbar::win {

// The parts of a scroll bar, in order along it.
enum class ScrollPart : std::uint8_t {
  kNone,
  kFirstArrow,
  kTrackBefore,  // the track between the first arrow and the thumb
  kThumb,
  kTrackAfter,
  kSecondArrow,
};

// Where the parts lie along a bar of `length` pixels and `thickness` across: an arrow square
// at each end, the track between them, and on the track the thumb, whose length stands for the
// page and whose offset for the position. No thumb when the page shows everything or the track
// has no room for it.
struct ScrollGeometry {
  static constexpr std::int32_t kMinThumb = 11;

  std::int32_t length = 0;
  std::int32_t thickness = 0;
  std::int32_t track = 0;  // the track's length, between the arrows
  bool hasThumb = false;
  std::int32_t thumbOffset = 0;  // from the track's start
  std::int32_t thumbLength = 0;

  static ScrollGeometry of(std::int32_t length, std::int32_t thickness, const ScrollInfo& info);

  // The part at `along` pixels from the bar's start.
  ScrollPart partAt(std::int32_t along) const;
  // The position after the thumb was dragged `moved` pixels from where it was when the position
  // was `startPosition`: the ends of the track give the ends of the range.
  std::int32_t draggedPosition(const ScrollInfo& info, std::int32_t startPosition,
                               std::int32_t moved) const;
  // The start and length of a part along the bar (the thumb's and the track's around it
  // included).
  void span(ScrollPart part, std::int32_t& start, std::int32_t& size) const;
};

// n / d rounded to the nearest whole number, halves away from zero; d > 0.
std::int64_t roundedDivision(std::int64_t n, std::int64_t d);

}  // namespace s::gui::scrollbar::win

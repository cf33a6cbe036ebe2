#pragma once

#include <cstdint>

namespace s::gui::scrollbar::win {

enum class Orientation : std::uint8_t { kHorizontal, kVertical };

// What one scroll bar shows: the visible part (page) of a whole (total), where the page starts
// (position), all in pixels, and the step of one line (a row for a list's vertical bar).
struct ScrollInfo {
  Orientation orientation = Orientation::kVertical;
  std::int32_t page = 0;
  std::int32_t total = 0;
  std::int32_t position = 0;
  std::int32_t line = 1;
  bool needed = false;

  // The last position at which a page still fits; 0 when the page shows everything.
  std::int32_t maxPosition() const { return total > page ? total - page : 0; }
  // `position` kept within [0, maxPosition()].
  std::int32_t clamped(std::int32_t at) const;
};

}  // namespace s::gui::scrollbar::win

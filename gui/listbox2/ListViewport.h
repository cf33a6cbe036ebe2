#pragma once

#include <cstdint>

#include "platform/ui/Rect.h"

namespace s::gui::listbox2 {

// Where a list's rows are, in the list's own pixels: the header above them, an optional
// one-pixel border around, and the rows from the first one shown (the list scrolls by whole
// rows vertically, by pixels horizontally).
struct ListViewport {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t border = 0;
  std::int32_t headerHeight = 0;
  std::int32_t rowHeight = 15;
  std::uint32_t rowCount = 0;
  std::uint32_t topRow = 0;
  std::int32_t scrollX = 0;
  // The sum of the column widths.
  std::int32_t rowWidth = 0;

  std::int32_t rowsTop() const { return border + headerHeight; }
  std::int32_t rowsLeft() const { return border; }
  std::int32_t clientWidth() const { return width > 2 * border ? width - 2 * border : 0; }
  // The height the rows have: the vertical page.
  std::int32_t page() const;
  platform::ui::Rect rowsArea() const { return {rowsLeft(), rowsTop(), clientWidth(), page()}; }
  // Rows that fit whole.
  std::uint32_t fullRows() const;
  std::uint32_t maxTopRow() const;
  std::int32_t maxScrollX() const;
  // The first row beyond those shown, whole or in part.
  std::uint32_t endRow() const;
  std::int32_t rowTop(std::uint32_t row) const;
  platform::ui::Rect rowRect(std::uint32_t row) const;
  // The row under y; false above or below the rows, or below the last one.
  bool rowAt(std::int32_t y, std::uint32_t& row) const;
  // The top row that shows `row` whole, moving as little as possible.
  std::uint32_t topRowShowing(std::uint32_t row) const;
  // Keeps topRow and scrollX within their ranges.
  void clamp();
};

}  // namespace s::gui::listbox2

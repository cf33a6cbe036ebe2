#include "gui/listbox2/ListViewport.h"

#include <algorithm>

namespace s::gui::listbox2 {

std::int32_t ListViewport::page() const {
  return std::max(0, height - 2 * border - headerHeight);
}

std::uint32_t ListViewport::fullRows() const {
  return rowHeight > 0 ? static_cast<std::uint32_t>(page() / rowHeight) : 0;
}

std::uint32_t ListViewport::maxTopRow() const {
  // With no whole row room, the last row may still come to the top.
  const std::uint32_t fit = std::max<std::uint32_t>(fullRows(), 1);
  return rowCount > fit ? rowCount - fit : 0;
}

std::int32_t ListViewport::maxScrollX() const {
  return std::max(0, rowWidth - clientWidth());
}

std::uint32_t ListViewport::endRow() const {
  if (rowHeight <= 0) {
    return topRow;
  }
  const auto shown = static_cast<std::uint32_t>((page() + rowHeight - 1) / rowHeight);
  return std::min<std::uint64_t>(rowCount, static_cast<std::uint64_t>(topRow) + shown);
}

std::int32_t ListViewport::rowTop(std::uint32_t row) const {
  const std::int64_t offset = static_cast<std::int64_t>(row) - topRow;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      rowsTop() + offset * rowHeight, -(std::int64_t{1} << 30), std::int64_t{1} << 30));
}

platform::ui::Rect ListViewport::rowRect(std::uint32_t row) const {
  return {rowsLeft(), rowTop(row), clientWidth(), rowHeight};
}

bool ListViewport::rowAt(std::int32_t y, std::uint32_t& row) const {
  if (y < rowsTop() || y >= rowsTop() + page() || rowHeight <= 0) {
    return false;
  }
  const std::uint64_t at = topRow + static_cast<std::uint64_t>((y - rowsTop()) / rowHeight);
  if (at >= rowCount) {
    return false;
  }
  row = static_cast<std::uint32_t>(at);
  return true;
}

std::uint32_t ListViewport::topRowShowing(std::uint32_t row) const {
  if (row < topRow) {
    return row;
  }
  const std::uint32_t fit = std::max<std::uint32_t>(fullRows(), 1);
  if (row >= topRow + fit) {
    return row - fit + 1;
  }
  return topRow;
}

void ListViewport::clamp() {
  topRow = std::min(topRow, maxTopRow());
  scrollX = std::clamp(scrollX, 0, maxScrollX());
}

}  // namespace s::gui::listbox2

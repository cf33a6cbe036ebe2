#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui/listbox2/ListBox2.h"

namespace s::app::console {

// A list's rows as terminal lines: the header and the rows shown.
struct TableText {
  // The columns the lines span, trailing spaces included.
  uint32_t width = 0;
  std::string header;
  std::vector<std::string> rows;
};

// The columns of `list` in its column order with the cells' own texts, its rows firstRow to
// firstRow + rowCount - 1 (fewer past the end), fitted to `width` columns. The header shows
// the first sort key's direction. The widest columns narrow first: titles wider than their
// cells are cut before any cell is, then every column down to a few columns; those that still
// do not fit are left out from the right. Width 0: every column as wide as its widest text.
// `picked` gives the rows by their row numbers (a filter's); none shows every row, and firstRow
// counts the rows picked. On the list's thread.
TableText tableText(gui::win::ListBox2& list, uint32_t width, uint32_t firstRow, uint32_t rowCount,
                    const std::vector<uint32_t>* picked = nullptr);

}  // namespace s::app::console

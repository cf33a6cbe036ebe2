#pragma once

namespace s::gui {

// A box inside a list cell; an empty box has zero width and sits at the x where its
// feature would be.
struct CellBox {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool empty() const { return right <= left; }
};

// Which boxes a cell shows before its text: CellLayout::of(cell, 0, {.icon = true}).
struct CellParts {
  bool tree = false;  // the column is the tree column and the record has children
  bool check = false;
  bool icon = false;
};

// The inner layout of a list cell: tree box, check box, icon box, then the text box.
struct CellLayout {
  static constexpr int kIconSize = 13;

  CellBox tree;
  CellBox check;
  CellBox icon;
  CellBox text;

  // cell: the cell's box; level: the record's tree level (0 outside tree columns).
  static CellLayout of(const CellBox& cell, int level, CellParts parts);

  // Where a line of text of the measured size starts in the text box: left, centred or
  // right by the column's alignment (0, 1, 2), centred vertically in whole pixels.
  static void placeText(const CellBox& text, int width, int height, int alignment, int& x, int& y);
};

}  // namespace s::gui

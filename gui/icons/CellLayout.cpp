#include "gui/icons/CellLayout.h"

namespace s::gui {

namespace {

CellBox box(int x, int y, bool on, int width, int height) {
  return on ? CellBox{x, y, x + width, y + height} : CellBox{x, y, x, y};
}

}  // namespace

CellLayout CellLayout::of(const CellBox& cell, int level, CellParts parts) {
  CellLayout layout;
  layout.tree = box(cell.left + 4 + 15 * level, cell.top + 1, parts.tree, 13, 15);
  layout.check =
      box(layout.tree.right + (layout.tree.empty() ? 0 : 2), cell.top + 1, parts.check, 15, 15);
  layout.icon = box(layout.check.right + (layout.check.empty() ? 0 : 3), cell.top + 2, parts.icon,
                    kIconSize, kIconSize);
  layout.text = {layout.icon.right + (layout.icon.empty() ? 0 : 3), cell.top, cell.right - 4,
                 cell.bottom};
  return layout;
}

void CellLayout::placeText(const CellBox& text, int width, int height, int alignment, int& x,
                           int& y) {
  switch (alignment) {
    case 1:
      x = text.left + (text.width() - width) / 2;
      break;
    case 2:
      x = text.right - width;
      break;
    default:
      x = text.left;
      break;
  }
  y = text.top + (text.height() - height) / 2;
}

}  // namespace s::gui

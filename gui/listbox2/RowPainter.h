#pragma once

#include <cairo.h>

#include <cstdint>

#include "framework/col/Array.h"
#include "gui/drawer/IListBox.h"
#include "gui/icons/CellLayout.h"
#include "gui/icons/ImageCacher.h"
#include "gui/listbox2/List.h"
#include "gui/listbox2/ListFonts.h"
#include "gui/listbox2/ListIconLoader.h"
#include "gui/listbox2/ListViewOptions.h"
#include "platform/ui/Rect.h"

namespace s::gui::listbox2 {

// What painting a list's rows needs: the look, the columns as they stand on screen and the
// row's neighbours in the view.
struct RowPaintContext {
  drawer::IListBox* drawer = nullptr;
  const ListFonts* fonts = nullptr;
  const ListViewOptions* options = nullptr;
  const List* list = nullptr;
  // The columns shown, left to right, and each column's width by index.
  const col::ArrayS32* order = nullptr;
  const col::ArrayS32* widths = nullptr;
  image::util::ImageCacher* icons = nullptr;
  ListIconLoader* iconLoader = nullptr;
  // Where the first column starts and where the row ends (the last column reaches it).
  std::int32_t left = 0;
  std::int32_t right = 0;
  // The cell whose hot area is under the pointer.
  const Record* hotRecord = nullptr;
  std::int32_t hotCell = -1;
};

// Paints one row of a list into the window's back buffer: each cell's background (the
// highlight when selected: the first column only, or all with full-row select; the stripe on
// odd rows), tree box, check box, icon (through the locked icon cache) and text in the font
// its flags choose, ending in an ellipsis where it is cut; then the 4-pixel strip at the row's
// left in the row's own background, the grid lines and the focus frame.
class RowPainter {
 public:
  // The cell box of a column at x, `width` wide, in a row at `top`.
  static CellLayout layoutOf(const RowPaintContext& context, const Record& record,
                             std::uint32_t column, const CellBox& box);
  // Only the part of the row inside `clip` is drawn. A cell with a hot area keeps the area
  // its text took, relative to the cell.
  static void paint(cairo_t* cr, const RowPaintContext& context, Record& record,
                    const platform::ui::Rect& row, const platform::ui::Rect& clip, bool focused);
  // The background of a row that is not highlighted.
  static drawer::Rgb background(const RowPaintContext& context, std::uint32_t row);
  // A check box in its state (1 unchecked, 2 checked, 3 partly) in the text colour.
  static void paintCheckBox(cairo_t* cr, const CellBox& box, std::int32_t state, drawer::Rgb ink,
                            drawer::Rgb fill);

 private:
  static void paintCell(cairo_t* cr, const RowPaintContext& context, Record& record,
                        std::uint32_t column, const platform::ui::Rect& cell);
};

}  // namespace s::gui::listbox2

#include "gui/listbox2/RowPainter.h"

#include <algorithm>

#include "gui/drawer/Glyphs.h"
#include "gui/drawer/Shapes.h"
#include "gui/drawer/TextLayout.h"
#include "gui/icons/IconDrawer.h"

namespace s::gui::listbox2 {

using platform::ui::Rect;

namespace {

constexpr std::int32_t kStrip = 4;
// The widest the tree box, check box and icon box reach into a cell (a first tree level).
constexpr std::int32_t kBoxesWidth = 4 + 15 + 13 + 2 + 15 + 3 + CellLayout::kIconSize + 3;

Rect rectOf(const CellBox& box) {
  return {box.left, box.top, box.width(), box.height()};
}

// Whether the column's cells carry a check box: their own, or the list's in the first column.
bool hasCheckBox(const RowPaintContext& context, const DataType& type, std::uint32_t column) {
  return type.checkBoxes() || (column == 0 && context.options->checkBoxColumn);
}

}  // namespace

drawer::Rgb RowPainter::background(const RowPaintContext& context, std::uint32_t row) {
  const ListViewOptions& options = *context.options;
  if (!options.striped || row % 2 == 0) {
    return context.drawer->getBackground();
  }
  return options.stripeColourSet ? options.stripeColour : context.drawer->getStripe();
}

CellLayout RowPainter::layoutOf(const RowPaintContext& context, const Record& record,
                                std::uint32_t column, const CellBox& box) {
  const DataType* type = context.list->column(column);
  if (type == nullptr) {
    return CellLayout::of(box, 0, {});
  }
  const bool tree = type->treeColumn();
  return CellLayout::of(box, tree ? static_cast<int>(record.level()) : 0,
                        {.tree = tree && record.childCount() > 0,
                         .check = hasCheckBox(context, *type, column),
                         .icon = type->showsIcon()});
}

void RowPainter::paintCheckBox(cairo_t* cr, const CellBox& box, std::int32_t state, drawer::Rgb ink,
                               drawer::Rgb fill) {
  const Rect outer = rectOf(box);
  drawer::shapes::fill(cr, outer, ink);
  drawer::shapes::fill(cr, drawer::shapes::inset(outer, 2), fill);
  if (state == kChecked) {
    drawer::Glyphs::draw(cr, u"#Check", drawer::shapes::inset(outer, 3), ink);
  } else if (state == kPartlyChecked) {
    drawer::shapes::fill(cr, drawer::shapes::inset(outer, 4), ink);
  }
}

void RowPainter::paintCell(cairo_t* cr, const RowPaintContext& context, Record& record,
                           std::uint32_t column, const Rect& cell) {
  const ListViewOptions& options = *context.options;
  const DataType* type = context.list->column(column);
  SubRecord* sub = record.cell(column);
  const bool selected = record.selected() && (options.fullRowSelect || column == 0);
  drawer::IListBox& drawer = *context.drawer;
  const drawer::Rgb ink = drawer.paintRow(cr, cell, record.row(), options.striped, selected);
  if (type == nullptr || sub == nullptr) {
    return;
  }
  const drawer::Rgb fill = selected ? drawer.getHighlight() : background(context, record.row());
  const CellLayout layout = layoutOf(context, record, column,
                                     {cell.x, cell.y, cell.x + cell.width, cell.y + cell.height});
  if (!layout.tree.empty()) {
    drawer::Glyphs::draw(cr, record.expanded() ? u"#TreeOpen" : u"#TreeClosed", rectOf(layout.tree),
                         ink);
  }
  if (!layout.check.empty()) {
    std::int32_t state = sub->checkState();
    if (state == kNoCheckBox && column == 0 && options.checkBoxColumn) {
      state = kUnchecked;
    }
    if (state != kNoCheckBox) {
      paintCheckBox(cr, layout.check, state, ink, fill);
    }
  }
  const str::StrBuffer* source = sub->iconSourceText();
  if (!layout.icon.empty() && source != nullptr && context.icons != nullptr) {
    // The cache's lock is held until the picture is drawn: it cannot go meanwhile.
    context.icons->lock();
    if (context.icons->hasEntry(*source)) {
      if (image::ImageCache* picture = context.icons->getIcon(*source)) {
        IconDrawer::draw(*picture, cr, layout.icon);
      }
    } else if (context.iconLoader != nullptr) {
      context.iconLoader->request(*source);
    }
    context.icons->unlock();
  }
  const bool greyed = record.greyed() || sub->greyed();
  const bool marked = record.marked() || sub->marked();
  const win::Font& font = context.fonts->forText(greyed, marked, selected);
  const std::u16string_view text = sub->text();
  const Rect textBox{layout.text.left, cell.y, layout.text.width(), cell.height};
  const drawer::Rgb colour = drawer::TextLayout::inkOf(&font, ink);
  drawer::TextLayout::paint(cr, textBox, text, &font, colour, type->alignment(), false);
  if (!sub->hasHotArea() || text.empty()) {
    return;
  }
  // The hot area is the text as drawn; it is underlined while the pointer is over it.
  const drawer::TextLayout::Size size = drawer::TextLayout::measure(text, &font, 0);
  int x = 0;
  int y = 0;
  CellLayout::placeText(layout.text, std::min(size.width, layout.text.width()), size.height,
                        type->alignment(), x, y);
  const std::int32_t width = std::min(size.width, layout.text.width());
  sub->setHotRectangle(x - cell.x, y - cell.y, width, size.height);
  if (context.hotRecord == &record && context.hotCell == static_cast<std::int32_t>(column)) {
    drawer::shapes::fill(cr, {x, y + size.height - 1, width, 1}, colour);
  }
}

void RowPainter::paint(cairo_t* cr, const RowPaintContext& context, Record& record, const Rect& row,
                       const Rect& clip, bool focused) {
  const col::ArrayS32& order = *context.order;
  const col::ArrayS32& widths = *context.widths;
  std::int32_t x = context.left;
  for (std::uint32_t p = 0; p < order.count(); ++p) {
    const auto column = static_cast<std::uint32_t>(order[p]);
    std::int32_t width = column < widths.count() ? widths[column] : 0;
    if (p + 1 == order.count()) {
      width = std::max(width, context.right - x);
    }
    const Rect cell{x, row.y, width, row.height};
    x += width;
    if (cell.intersected(clip).empty()) {
      continue;
    }
    // The text keeps to its box; only a cell narrower than its boxes needs a clip of its own.
    const bool narrow = cell.width < kBoxesWidth;
    if (narrow) {
      cairo_save(cr);
      cairo_rectangle(cr, cell.x, cell.y, cell.width, cell.height);
      cairo_clip(cr);
    }
    paintCell(cr, context, record, column, cell);
    if (narrow) {
      cairo_restore(cr);
    }
  }
  const drawer::Rgb own = background(context, record.row());
  drawer::shapes::fill(cr, Rect{context.left, row.y, kStrip, row.height}.intersected(clip), own);
  if (context.options->gridLines) {
    const drawer::Rgb grid = drawer::mix(own, drawer::mix(own, context.drawer->getText()));
    drawer::shapes::fill(cr, {row.x, row.y + row.height - 1, row.width, 1}, grid);
    std::int32_t line = context.left;
    for (std::uint32_t p = 0; p + 1 < order.count(); ++p) {
      const auto column = static_cast<std::uint32_t>(order[p]);
      line += column < widths.count() ? widths[column] : 0;
      drawer::shapes::fill(cr, {line - 1, row.y, 1, row.height}, grid);
    }
  }
  if (focused) {
    const double dash = 1;
    const bool selected = record.selected();
    drawer::setSource(cr, selected ? context.drawer->getSelectedText() : context.drawer->getText());
    cairo_set_line_width(cr, 1);
    cairo_set_dash(cr, &dash, 1, 0);
    cairo_rectangle(cr, row.x + 0.5, row.y + 0.5, row.width - 1, row.height - 1);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
  }
}

}  // namespace s::gui::listbox2

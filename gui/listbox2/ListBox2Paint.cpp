#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "gui/drawer/Shapes.h"
#include "gui/listbox2/ListBox2.h"
#include "gui/listbox2/ListHeader.h"
#include "gui/listbox2/RowPainter.h"

namespace s::gui::win {

using platform::ui::Rect;

namespace {

// The part of the component that the paint is asked for.
Rect clipOf(cairo_t* cr) {
  double x1 = 0;
  double y1 = 0;
  double x2 = 0;
  double y2 = 0;
  cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
  const auto left = static_cast<std::int32_t>(std::floor(x1));
  const auto top = static_cast<std::int32_t>(std::floor(y1));
  return {left, top, static_cast<std::int32_t>(std::ceil(x2)) - left,
          static_cast<std::int32_t>(std::ceil(y2)) - top};
}

}  // namespace

void ListBox2::paint(cairo_t* cr) {
  const Rect clip = clipOf(cr);
  drawer::IListBox* drawer = listDrawer();
  const listbox2::ListViewport v = viewport();
  const Rect rows = v.rowsArea();
  cairo_save(cr);
  cairo_rectangle(cr, rows.x, rows.y, rows.width, rows.height);
  cairo_clip(cr);
  paintRows(cr, clip.intersected(rows));
  const std::uint32_t end = v.endRow();
  const std::int32_t below = end > v.topRow ? v.rowTop(end) : rows.y;
  drawer::shapes::fill(cr, Rect{rows.x, below, rows.width, rows.y + rows.height - below},
                       drawer->getBackground());
  std::int32_t lineY = 0;
  std::int32_t lineHeight = 0;
  if (pointer_.insertionLine(lineY, lineHeight)) {
    drawer::shapes::fill(
        cr, {rows.x, lineY, rows.width, lineHeight},
        options_.insertMarkColourSet ? options_.insertMarkColour : drawer->getHighlight());
  }
  pointer_.paintDragImage(cr);
  cairo_restore(cr);
  if (options_.border) {
    drawer::shapes::frame(cr, {0, 0, getWidth(), getHeight()}, drawer::shapes::kShadow);
  }
  // Also when the loads this paint asked for have ended already: the rows painted before they
  // ended are still without their icons.
  if (iconLoader_.busy() || iconLoader_.finished() != iconLoadsSeen_) {
    watchIconLoads();
  }
}

listbox2::RowPaintContext ListBox2::rowContext() {
  const listbox2::ListViewport v = viewport();
  listbox2::RowPaintContext context;
  context.drawer = listDrawer();
  context.fonts = &fonts_;
  context.options = &options_;
  context.list = &list_;
  context.icons = icons_.get();
  context.iconLoader = &iconLoader_;
  context.left = v.rowsLeft() - scrollX_;
  context.right = v.rowsLeft() + v.clientWidth();
  context.hotRecord = hotRecord_;
  context.hotCell = hotCell_;
  if (options_.viewMode == listbox2::ViewMode::kReport) {
    context.order = &header_->order();
    context.widths = &header_->widths();
    return context;
  }
  // The list and icon views show the first column, as wide as the list.
  const uint32_t shown = list_.columnCount() > 0 ? 1 : 0;
  singleOrder_.setCount(shown);
  singleWidths_.setCount(shown);
  if (shown > 0) {
    singleOrder_[0] = 0;
    singleWidths_[0] = v.clientWidth();
  }
  context.order = &singleOrder_;
  context.widths = &singleWidths_;
  context.left = v.rowsLeft();
  return context;
}

void ListBox2::paintRows(cairo_t* cr, const Rect& clip) {
  if (clip.empty()) {
    return;
  }
  const listbox2::ListViewport v = viewport();
  const listbox2::RowPaintContext context = rowContext();
  const listbox2::Record* focused = hasFocus() ? focusedRecord() : nullptr;
  // Only the rows the clip reaches.
  std::uint32_t first = v.topRow;
  if (clip.y > v.rowsTop()) {
    first += static_cast<std::uint32_t>((clip.y - v.rowsTop()) / v.rowHeight);
  }
  const std::uint32_t end = v.endRow();
  for (std::uint32_t row = first; row < end; ++row) {
    const Rect line = v.rowRect(row);
    if (line.y >= clip.y + clip.height) {
      break;
    }
    listbox2::Record* record = list_.record(row);
    listbox2::RowPainter::paint(cr, context, *record, line, clip, record == focused);
  }
}

}  // namespace s::gui::win

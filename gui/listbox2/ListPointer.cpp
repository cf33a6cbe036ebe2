#include "gui/listbox2/ListPointer.h"

#include <algorithm>
#include <cstdlib>

#include "gui/listbox2/ListBox2.h"
#include "gui/listbox2/RowPainter.h"
#include "gui/widgets/Skinned.h"

namespace s::gui::listbox2 {

using platform::ui::Event;
using platform::ui::EventKind;
using platform::ui::PointerShape;
using platform::ui::Rect;
namespace modifier = platform::ui::modifier;

namespace {

// Where the drag picture's corner is from the pointer.
constexpr std::int32_t kDragHotSpot = 10;

bool inside(const CellBox& box, std::int32_t x, std::int32_t y) {
  return !box.empty() && x >= box.left && x < box.right && y >= box.top && y < box.bottom;
}

bool isSelected(const Record& record) {
  return record.selected();
}

}  // namespace

ListPointer::~ListPointer() {
  if (dragImage_ != nullptr) {
    cairo_surface_destroy(dragImage_);
  }
}

void ListPointer::reset() {
  leftHeld_ = selectOnRelease_ = dragging_ = overList_ = false;
  pressX_ = pressY_ = dragX_ = dragY_ = rootX_ = rootY_ = 0;
  pressed_ = nullptr;
  pressedStamp_ = 0;
  dropRow_ = 0;
  overTarget_ = nullptr;
  if (dragImage_ != nullptr) {
    cairo_surface_destroy(dragImage_);
    dragImage_ = nullptr;
  }
}

void ListPointer::forget(const Record& record) {
  if (pressed_ == &record) {
    pressed_ = nullptr;
    selectOnRelease_ = false;
  }
}

bool ListPointer::handle(const Event& event, std::int32_t x, std::int32_t y) {
  // With the middle button down the list lets everything through to the window beneath.
  if (event.button == 2 || (event.modifiers & modifier::kButtonMiddle) != 0) {
    return false;
  }
  switch (event.kind) {
    case EventKind::kButtonPress:
      if (event.button == 1) {
        return leftPress(event, x, y);
      }
      return event.button == 3 && rightPress(event, x, y);
    case EventKind::kButtonRelease:
      return event.button == 1 && leftRelease(x, y);
    case EventKind::kMotion:
      rootX_ = event.rootX;
      rootY_ = event.rootY;
      motion(x, y);
      return true;
    case EventKind::kWheel:
      return wheel(event, x, y);
    case EventKind::kLeave:
      trackHotCell(-1, -1);
      return false;
    default:
      return false;
  }
}

PointerShape ListPointer::cursor() const {
  if (!dragging_) {
    return PointerShape::kInherit;
  }
  return overList_ || overTarget_ != nullptr ? PointerShape::kHand : PointerShape::kNotAllowed;
}

void ListPointer::hold(bool held) {
  leftHeld_ = held;
  if (win::Window* window = win::windowOf(list_)) {
    if (held) {
      window->setCapture(&list_);
    } else {
      window->releaseCapture(&list_);
    }
  }
}

bool ListPointer::pressCellParts(Record& record, std::int32_t x, std::int32_t y, bool& hotArea) {
  hotArea = false;
  const std::int32_t at = list_.columnAt(x);
  if (at < 0) {
    return false;
  }
  const auto column = static_cast<std::uint32_t>(at);
  SubRecord* cell = record.cell(column);
  if (cell == nullptr) {
    return false;
  }
  const Rect box = list_.cellRect(record.row(), column);
  RowPaintContext context;
  context.options = &list_.options_;
  context.list = &list_.list_;
  const CellLayout layout = RowPainter::layoutOf(
      context, record, column, {box.x, box.y, box.x + box.width, box.y + box.height});
  const std::uint32_t stamp = record.stamp();
  if (inside(layout.check, x, y)) {
    const bool ownBox = column == 0 && list_.options_.checkBoxColumn;
    if (cell->checkState() == kNoCheckBox && ownBox) {
      cell->setCheckState(kUnchecked);
    }
    if (cell->checkState() != kNoCheckBox) {
      list_.setCheckState(&record, stamp, column,
                          cell->checkState() == kUnchecked ? kChecked : kUnchecked, true);
      return true;
    }
  }
  if (inside(layout.tree, x, y)) {
    list_.toggleExpand(&record, stamp);
    return true;
  }
  Record* hot = nullptr;
  std::int32_t hotCell = -1;
  if (hotAreaAt(x, y, hot, hotCell) && hot == &record) {
    list_.hotRecord_ = hot;
    list_.hotCell_ = hotCell;
    hotArea = true;
    list_.send(kEventHotCell);
  }
  return false;
}

bool ListPointer::hotAreaAt(std::int32_t x, std::int32_t y, Record*& record,
                            std::int32_t& column) const {
  std::uint32_t row = 0;
  const std::int32_t at = list_.columnAt(x);
  if (at < 0 || !list_.viewport().rowAt(y, row)) {
    return false;
  }
  Record* under = list_.list_.record(row);
  const SubRecord* cell = under->cell(static_cast<std::uint32_t>(at));
  if (cell == nullptr || !cell->hasHotArea() || cell->hotWidth() <= 0) {
    return false;
  }
  // The area the painter drew the text in, kept relative to the cell.
  const Rect box = list_.cellRect(row, static_cast<std::uint32_t>(at));
  const std::int32_t left = box.x + cell->hotX();
  const std::int32_t top = box.y + cell->hotY();
  if (x < left || x >= left + cell->hotWidth() || y < top || y >= top + cell->hotHeight()) {
    return false;
  }
  record = under;
  column = at;
  return true;
}

bool ListPointer::leftPress(const Event& event, std::int32_t x, std::int32_t y) {
  if (x < 0 || x > list_.getWidth() || y < 0 || y > list_.getHeight()) {
    return false;
  }
  win::Window* window = win::windowOf(list_);
  const bool again = window != nullptr && window->isDoubleClick();
  if (again) {
    return doubleClick(x, y);
  }
  std::uint32_t row = 0;
  if (!list_.viewport().rowAt(y, row)) {
    list_.deselectAll();
    // A transparent empty area gives the press to the window (which may be dragged by it).
    return !list_.options_.emptyAreaTransparent;
  }
  Record& record = *list_.list_.record(row);
  bool hotArea = false;
  if (pressCellParts(record, x, y, hotArea)) {
    return true;
  }
  const bool control = (event.modifiers & modifier::kControl) != 0;
  const bool shift = (event.modifiers & modifier::kShift) != 0;
  const ListViewOptions& options = list_.options_;
  const bool canDrag = options.dragRows || options.dragOut || options.dragReorder;
  selectOnRelease_ = false;
  if (!options.multiSelect) {
    list_.selectOnly(record);
    list_.setFocusRow(&record, true);
  } else if (shift) {
    Record* anchor = list_.anchorRecord();
    list_.selectRange(anchor != nullptr ? anchor->row() : row, row, control);
    list_.setFocusRow(&record, anchor == nullptr);
  } else if (control) {
    list_.setRowSelection(record, !record.selected());
    list_.setFocusRow(&record, true);
  } else if (record.selected() && canDrag) {
    selectOnRelease_ = true;
    list_.setFocusRow(&record, true);
  } else {
    list_.selectOnly(record);
    list_.setFocusRow(&record, true);
  }
  pressX_ = x;
  pressY_ = y;
  pressed_ = &record;
  pressedStamp_ = record.stamp();
  hold(true);
  return true;
}

bool ListPointer::doubleClick(std::int32_t x, std::int32_t y) {
  std::uint32_t row = 0;
  if (!list_.viewport().rowAt(y, row)) {
    return !list_.options_.emptyAreaTransparent;
  }
  Record& record = *list_.list_.record(row);
  list_.lastDoubleClicked_ = &record;
  bool hotArea = false;
  // A check box or tree toggle takes its double click as another press.
  if (pressCellParts(record, x, y, hotArea)) {
    return true;
  }
  if (record.childCount() > 0 && record.treeCell() >= 0) {
    list_.toggleExpand(&record, record.stamp());
  }
  list_.send(kEventDoubleClicked);
  return true;
}

bool ListPointer::rightPress(const Event& event, std::int32_t x, std::int32_t y) {
  if (x < 0 || x > list_.getWidth() || y < 0 || y > list_.getHeight()) {
    return false;
  }
  std::uint32_t row = 0;
  if (list_.viewport().rowAt(y, row)) {
    // The row under the pointer is what the menu is for.
    Record& record = *list_.list_.record(row);
    if (!record.selected()) {
      list_.selectOnly(record);
    }
    list_.setFocusRow(&record, true);
  }
  IPopupMenu* menu = list_.popupMenu_;
  win::Window* window = win::windowOf(list_);
  // Without a selected row there is nothing for the menu to act on: the window has the press.
  if (menu == nullptr || list_.selectedCount() == 0 || window == nullptr) {
    return false;
  }
  list_.send(kEventMenu);
  const std::int32_t command = menu->track(event.rootX, event.rootY, *window);
  if (command >= 0 && menu->containsCommand(command)) {
    menu->dispatch(command);
  }
  return true;
}

bool ListPointer::leftRelease(std::int32_t /*x*/, std::int32_t /*y*/) {
  if (!leftHeld_) {
    return false;
  }
  hold(false);
  if (dragging_) {
    endRowDrag(true);
  } else if (selectOnRelease_ && list_.list_.contains(pressed_, pressedStamp_)) {
    list_.selectOnly(*pressed_);
  }
  selectOnRelease_ = false;
  pressed_ = nullptr;
  return true;
}

void ListPointer::motion(std::int32_t x, std::int32_t y) {
  if (!leftHeld_ || !list_.list_.contains(pressed_, pressedStamp_)) {
    trackHotCell(x, y);
    return;
  }
  const ListViewOptions& options = list_.options_;
  const bool canDrag = options.dragRows || options.dragOut || options.dragReorder;
  if (!dragging_ && canDrag && pressed_->selected() &&
      (std::abs(x - pressX_) > win::ListBox2::kDragThreshold ||
       std::abs(y - pressY_) > win::ListBox2::kDragThreshold)) {
    selectOnRelease_ = false;
    beginRowDrag();
  }
  if (dragging_) {
    dragTo(x, y);
    return;
  }
  std::uint32_t row = 0;
  if (!canDrag && options.multiSelect && options.fullRowSelect && list_.viewport().rowAt(y, row) &&
      !list_.list_.record(row)->selected()) {
    extendDragSelection(row);
  }
}

void ListPointer::extendDragSelection(std::uint32_t row) {
  Record* first = list_.selectedRecords_.empty() ? nullptr : list_.selectedRecords_.at(0);
  const std::uint32_t from = first != nullptr ? first->row() : row;
  // From the first selected row towards the pointer, past the rows already selected.
  const std::int64_t step = row >= from ? 1 : -1;
  for (std::int64_t at = from;; at += step) {
    Record* record = list_.list_.record(static_cast<std::uint32_t>(at));
    if (record != nullptr && !record->selected()) {
      list_.setRowSelection(*record, true);
    }
    if (at == static_cast<std::int64_t>(row)) {
      break;
    }
  }
  list_.setFocusRow(list_.list_.record(row), false);
}

void ListPointer::beginRowDrag() {
  dragging_ = true;
  if (list_.options_.dragOut) {
    list_.send(kEventDragStarted);
  }
  // The picture: the selected rows on screen, on white, with white left out.
  const ListViewport v = list_.viewport();
  std::int32_t top = INT32_MAX;
  std::int32_t bottom = INT32_MIN;
  for (std::uint32_t row = v.topRow; row < v.endRow(); ++row) {
    if (list_.list_.record(row)->selected()) {
      top = std::min(top, v.rowTop(row));
      bottom = std::max(bottom, v.rowTop(row) + v.rowHeight);
    }
  }
  if (top >= bottom) {
    return;
  }
  const Rect first = list_.cellRect(v.topRow, 0);
  const std::int32_t left = list_.options_.fullRowSelect ? v.rowsLeft() : first.x;
  const std::int32_t width = list_.options_.fullRowSelect ? v.clientWidth() : first.width;
  if (width <= 0) {
    return;
  }
  dragImage_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, bottom - top);
  cairo_t* cr = cairo_create(dragImage_);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_translate(cr, -left, -top);
  const RowPaintContext context = list_.rowContext();
  const Rect clip{left, top, width, bottom - top};
  for (std::uint32_t row = v.topRow; row < v.endRow(); ++row) {
    Record* record = list_.list_.record(row);
    if (record->selected()) {
      RowPainter::paint(cr, context, *record, v.rowRect(row), clip, false);
    }
  }
  cairo_destroy(cr);
  cairo_surface_flush(dragImage_);
  auto* pixels = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(dragImage_));
  const std::int32_t stride = cairo_image_surface_get_stride(dragImage_) / 4;
  for (std::int32_t y = 0; y < bottom - top; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      std::uint32_t& pixel = pixels[y * stride + x];
      pixel = pixel == 0xFFFFFFFF ? 0 : pixel;
    }
  }
  cairo_surface_mark_dirty(dragImage_);
}

void ListPointer::dragTo(std::int32_t x, std::int32_t y) {
  list_.invalidateRows();
  dragX_ = x;
  dragY_ = y;
  const ListViewport v = list_.viewport();
  const Rect rows = v.rowsArea();
  overList_ = list_.options_.dragReorder && x >= rows.x && x < rows.x + rows.width && y >= rows.y &&
              y < rows.y + rows.height;
  overTarget_ = overList_ ? nullptr : dropTargetAt(rootX_, rootY_);
  // The boundary between rows nearest the pointer.
  const std::int64_t offset =
      (static_cast<std::int64_t>(y) - rows.y + v.rowHeight / 2) / v.rowHeight;
  dropRow_ = static_cast<std::uint32_t>(
      std::clamp<std::int64_t>(v.topRow + std::max<std::int64_t>(offset, 0), 0, v.rowCount));
  win::Window* window = win::windowOf(list_);
  const bool nearEdge = y < rows.y + kAutoScrollEdge || y >= rows.y + rows.height - kAutoScrollEdge;
  if (window != nullptr) {
    if (nearEdge) {
      window->setComponentTimer(this, kAutoScrollTimer, kAutoScrollMs, [this] { autoScroll(); });
    } else {
      window->killComponentTimer(this, kAutoScrollTimer);
    }
  }
  if (list_.options_.dragOut) {
    list_.send(kEventDragMoved);
  }
}

void ListPointer::autoScroll() {
  const ListViewport v = list_.viewport();
  const Rect rows = v.rowsArea();
  if (dragY_ < rows.y + kAutoScrollEdge && v.topRow > 0) {
    list_.setTopRow(v.topRow - 1);
  } else if (dragY_ >= rows.y + rows.height - kAutoScrollEdge) {
    list_.setTopRow(v.topRow + 1);
  }
  dragTo(dragX_, dragY_);
}

void ListPointer::endRowDrag(bool drop) {
  if (win::Window* window = win::windowOf(list_)) {
    window->killComponentTimer(this, kAutoScrollTimer);
  }
  if (dragImage_ != nullptr) {
    cairo_surface_destroy(dragImage_);
    dragImage_ = nullptr;
  }
  dragging_ = false;
  list_.invalidateRows();
  if (drop && overList_) {
    list_.list_.moveRows(dropRow_, isSelected);
    list_.view_->rowsSorted();
    list_.send(kEventReordered);
  } else if (drop && overTarget_ != nullptr) {
    list_.dropTarget_ = overTarget_;
    list_.send(kEventDroppedOut);
  }
  if (list_.options_.dragOut) {
    list_.send(kEventDragEnded);
  }
  overList_ = false;
  overTarget_ = nullptr;
}

void ListPointer::captureLost() {
  if (dragging_) {
    endRowDrag(false);
  }
  leftHeld_ = false;
  selectOnRelease_ = false;
  pressed_ = nullptr;
}

bool ListPointer::insertionLine(std::int32_t& y, std::int32_t& height) const {
  if (!dragging_ || !overList_) {
    return false;
  }
  const ListViewport v = list_.viewport();
  const bool atEnd = dropRow_ >= v.rowCount;
  height = atEnd ? 2 : 1;
  y = v.rowTop(dropRow_) - (atEnd ? 1 : 0);
  return true;
}

void ListPointer::paintDragImage(cairo_t* cr) const {
  if (!dragging_ || dragImage_ == nullptr) {
    return;
  }
  cairo_set_source_surface(cr, dragImage_, dragX_ - kDragHotSpot, dragY_ - kDragHotSpot);
  cairo_paint_with_alpha(cr, 0.75);
}

IComponent* ListPointer::dropTargetAt(std::int32_t rootX, std::int32_t rootY) const {
  for (IComponent* target : list_.dropTargets_) {
    if (target->containsScreenPoint(rootX, rootY)) {
      return target;
    }
  }
  return nullptr;
}

bool ListPointer::wheel(const Event& event, std::int32_t x, std::int32_t y) {
  if (x < 0 || y < 0 || x >= list_.getWidth() || y >= list_.getHeight() || event.wheel == 0) {
    return false;
  }
  const ListViewport v = list_.viewport();
  const std::int32_t pixels =
      win::ListBox2::wheelPixels(event.wheel, win::ListBox2::wheelLines(), v.rowHeight);
  // Away from the user (up) shows earlier rows.
  const bool vertical = v.page() < static_cast<std::int64_t>(v.rowCount) * v.rowHeight;
  if (vertical) {
    list_.scrollBy(0, -pixels);
  } else if (v.maxScrollX() > 0) {
    list_.scrollBy(-pixels, 0);
  }
  return true;
}

void ListPointer::trackHotCell(std::int32_t x, std::int32_t y) {
  Record* hot = nullptr;
  std::int32_t hotCell = -1;
  if (!hotAreaAt(x, y, hot, hotCell)) {
    hot = nullptr;
    hotCell = -1;
  }
  if (hot == list_.hotRecord_ && hotCell == list_.hotCell_) {
    return;
  }
  if (list_.hotRecord_ != nullptr) {
    list_.invalidateRow(*list_.hotRecord_);
  }
  list_.hotRecord_ = hot;
  list_.hotCell_ = hotCell;
  if (hot != nullptr) {
    list_.invalidateRow(*hot);
  }
}

}  // namespace s::gui::listbox2

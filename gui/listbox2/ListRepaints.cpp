#include "gui/listbox2/ListRepaints.h"

#include "gui/listbox2/ListBox2.h"
#include "gui/listbox2/ListHeader.h"

namespace s::gui::listbox2 {

void ListRepaints::columnAdded(uint32_t column) {
  const DataType* type = list_.getColumn(column);
  list_.header_->columnAdded(column, type != nullptr ? type->width() : 0);
  list_.relayout();
  list_.invalidate();
}

void ListRepaints::columnOrderChanged() {
  list_.header_->setOrder(list_.getColumnOrder());
  list_.invalidateRows();
}

void ListRepaints::rowInserted(Record& record) {
  if (changing()) {
    return;
  }
  // The rows below move down one.
  list_.invalidateRowsFrom(record.row());
}

void ListRepaints::rowRemoving(Record& record) {
  list_.pointer_.forget(record);
  if (list_.focus_ == &record) {
    list_.focus_ = nullptr;
  }
  if (list_.anchor_ == &record) {
    list_.anchor_ = nullptr;
  }
  if (list_.hotRecord_ == &record) {
    list_.hotRecord_ = nullptr;
    list_.hotCell_ = -1;
  }
  if (list_.lastDoubleClicked_ == &record) {
    list_.lastDoubleClicked_ = nullptr;
  }
  if (changing()) {
    return;
  }
  list_.invalidateRowsFrom(record.row());
}

void ListRepaints::cellChanged(Record& record, uint32_t /*column*/) {
  if (!changing()) {
    list_.invalidateRow(record);
  }
}

void ListRepaints::rowChanged(Record& record) {
  if (!changing()) {
    list_.invalidateRow(record);
  }
}

void ListRepaints::columnChanged(uint32_t column) {
  if (!changing()) {
    list_.invalidateColumn(column);
  }
}

void ListRepaints::rowsSorted() {
  if (!changing()) {
    list_.invalidateRows();
  }
}

void ListRepaints::updateBegun() {}

void ListRepaints::updateEnded() {
  if (list_.changedInUpdate_) {
    list_.changedInUpdate_ = false;
    list_.updateScrollBars();
    list_.invalidate();
  }
}

bool ListRepaints::changing() {
  if (!list_.updating()) {
    return false;
  }
  list_.changedInUpdate_ = true;
  return true;
}

void ListRepaints::showRow(Record& record) {
  list_.setTopRow(list_.viewport().topRowShowing(record.row()));
}

void ListRepaints::setRowSelected(Record& record, bool selected) {
  list_.itemStateChanged(&record, selected ? kRowSelected : 0, selected ? 0 : kRowSelected);
  if (!changing()) {
    list_.invalidateRow(record);
  }
}

}  // namespace s::gui::listbox2

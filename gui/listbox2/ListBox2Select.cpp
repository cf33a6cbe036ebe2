#include <algorithm>

#include "gui/listbox2/ListBox2.h"
#include "gui/listbox2/ListHeader.h"
#include "gui/listbox2/RowsText.h"
#include "gui/widgets/Skinned.h"

namespace s::gui::win {

using listbox2::Record;

// --- The user's selection ---------------------------------------------------------------

void ListBox2::setRowSelection(Record& record, bool selected) {
  if (record.selected() != selected) {
    view_->setRowSelected(record, selected);
  }
}

void ListBox2::deselectAll() {
  for (uint32_t i = selectedRecords_.count(); i-- > 0;) {
    if (i < selectedRecords_.count()) {
      setRowSelection(*selectedRecords_.at(i), false);
    }
  }
}

void ListBox2::selectOnly(Record& record) {
  for (uint32_t i = selectedRecords_.count(); i-- > 0;) {
    if (i < selectedRecords_.count() && selectedRecords_.at(i) != &record) {
      setRowSelection(*selectedRecords_.at(i), false);
    }
  }
  setRowSelection(record, true);
}

void ListBox2::selectRange(uint32_t from, uint32_t to, bool keepOthers) {
  const uint32_t low = std::min(from, to);
  const uint32_t high = std::max(from, to);
  if (!keepOthers) {
    for (uint32_t i = selectedRecords_.count(); i-- > 0;) {
      if (i >= selectedRecords_.count()) {
        continue;
      }
      Record* record = selectedRecords_.at(i);
      if (record->row() < low || record->row() > high) {
        setRowSelection(*record, false);
      }
    }
  }
  // From the anchor towards the row reached, as the rows were passed.
  const int64_t step = to >= from ? 1 : -1;
  for (int64_t row = from;; row += step) {
    if (Record* record = list_.record(static_cast<uint32_t>(row))) {
      setRowSelection(*record, true);
    }
    if (row == static_cast<int64_t>(to)) {
      break;
    }
  }
}

void ListBox2::selectAll() {
  for (uint32_t row = 0; row < list_.recordCount(); ++row) {
    setRowSelection(*list_.record(row), true);
  }
}

void ListBox2::setFocusRow(Record* record, bool anchor) {
  Record* previous = focusedRecord();
  focus_ = record;
  focusStamp_ = record != nullptr ? record->stamp() : 0;
  if (anchor) {
    anchor_ = record;
    anchorStamp_ = focusStamp_;
  }
  if (previous != nullptr && previous != record) {
    invalidateRow(*previous);
  }
  if (record != nullptr) {
    invalidateRow(*record);
  }
}

// --- What the header tells ---------------------------------------------------------------

void ListBox2::headerClicked(uint32_t column) {
  lastClickedColumn_ = static_cast<int32_t>(column);
  send(kEventColumnClick);
  const listbox2::DataType* type = list_.column(column);
  if (type != nullptr && type->sortable()) {
    sortByColumn(column);
    sort();
    header_->invalidate();
  }
  send(kEventColumnClicked);
}

void ListBox2::columnResized() {
  updateScrollBars();
  invalidateRows();
}

void ListBox2::columnsMoved(const col::ArrayS32& order) {
  displayOrder_.clear();
  displayOrder_.append(order.data(), order.count());
  updateScrollBars();
  invalidateRows();
}

// --- Copying ----------------------------------------------------------------------------

std::string ListBox2::selectedRowsText() {
  std::string text;
  auto operation = [&] {
    // In row order, whatever order the rows were selected in.
    for (uint32_t row = 0; row < list_.recordCount(); ++row) {
      Record* record = list_.record(row);
      if (record->selected()) {
        listbox2::appendTabSeparated(text, *record, displayOrder_);
      }
    }
  };
  carry(operation);
  return text;
}

bool ListBox2::copySelection() {
  bool copied = false;
  runSync([&] {
    Window* window = windowOf(*this);
    if (window == nullptr || window->display() == nullptr || selectedRecords_.empty()) {
      return;
    }
    copied = window->display()->setClipboardText(window->platformWindow(), selectedRowsText());
  });
  return copied;
}

}  // namespace s::gui::win

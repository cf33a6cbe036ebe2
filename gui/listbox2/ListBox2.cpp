#include "gui/listbox2/ListBox2.h"

#include <algorithm>
#include <string>
#include <thread>

#include "framework/col/Comparators.h"
#include "framework/col/MergeSort.h"

namespace s::gui::win {

using listbox2::DataType;
using listbox2::Record;
using listbox2::SubRecord;

ListBox2::ListBox2() : icons_(image::util::ImageCacher::make()), iconLoader_(*icons_) {
  list_.setControl(this);
  attachHeader();
  resetView();
}

ListBox2::~ListBox2() {
  reset();
}

// --- Columns ---------------------------------------------------------------------------

uint32_t ListBox2::addColumn(PoolPtr<DataType> column) {
  uint32_t index = list_.addColumn(std::move(column));
  displayOrder_.push(static_cast<int32_t>(index));
  view_->columnAdded(index);
  return index;
}

uint32_t ListBox2::addColumn(const listbox2::ColumnOptions& o) {
  if (o.titleTextId >= 0) {
    return addColumn(listbox2::newColumn(o.titleTextId, o.localizer, o.width, o.alignment,
                                         o.sortable, o.comparator, o.ascending, o.showsIcon,
                                         o.checkBoxes, o.editable, o.treeColumn));
  }
  return addColumn(listbox2::newColumnWithText(o.title, o.width, o.alignment, o.sortable,
                                               o.comparator, o.ascending, o.showsIcon, o.checkBoxes,
                                               o.editable, o.treeColumn));
}

namespace {

// The positional forms' settings after the title.
listbox2::ColumnOptions positional(int32_t width, int32_t alignment, bool sortable,
                                   listbox2::CellComparator comparator, bool ascending,
                                   bool showsIcon, bool checkBoxes, bool editable,
                                   bool treeColumn) {
  return {.width = width,
          .alignment = alignment,
          .sortable = sortable,
          .comparator = comparator,
          .ascending = ascending,
          .showsIcon = showsIcon,
          .checkBoxes = checkBoxes,
          .editable = editable,
          .treeColumn = treeColumn};
}

}  // namespace

uint32_t ListBox2::addColumn(lang::Localizer* localizer, int32_t titleTextId, int32_t width,
                             int32_t alignment, bool sortable, listbox2::CellComparator comparator,
                             bool ascending, bool showsIcon, bool checkBoxes, bool editable,
                             bool treeColumn) {
  listbox2::ColumnOptions options = positional(width, alignment, sortable, comparator, ascending,
                                               showsIcon, checkBoxes, editable, treeColumn);
  options.localizer = localizer;
  options.titleTextId = titleTextId;
  return addColumn(options);
}

uint32_t ListBox2::addColumn(std::u16string_view title, int32_t width, int32_t alignment,
                             bool sortable, listbox2::CellComparator comparator, bool ascending,
                             bool showsIcon, bool checkBoxes, bool editable, bool treeColumn) {
  listbox2::ColumnOptions options = positional(width, alignment, sortable, comparator, ascending,
                                               showsIcon, checkBoxes, editable, treeColumn);
  options.title = title;
  return addColumn(options);
}

// --- Rows ------------------------------------------------------------------------------

uint32_t ListBox2::insertShown(uint32_t position, Record* record) {
  if (!list_.insert(position, record)) {
    return 0;
  }
  view_->rowInserted(*record);
  uint32_t rows = 1;
  if (record->expanded()) {
    for (uint32_t i = 0; i < record->childCount(); ++i) {
      rows += insertShown(record->row() + rows, record->child(i));
    }
  }
  return rows;
}

bool ListBox2::removeShown(Record* record, uint32_t stamp) {
  if (!list_.contains(record, stamp)) {
    return false;
  }
  view_->rowRemoving(*record);
  list_.remove(record, stamp);
  // After the removal, so that listeners told of the deselection see the list without it.
  dropFromSelection(record);
  if (record->expanded()) {
    for (uint32_t i = 0; i < record->childCount(); ++i) {
      Record* child = record->child(i);
      removeShown(child, child->stamp());
    }
  }
  return true;
}

bool ListBox2::keep(const listbox2::ListUpdateBatch::Entry& entry) {
  if (executor_ == nullptr || !batch_.isOpenHere()) {
    return false;
  }
  batch_.add(entry);
  if (batch_.full()) {
    auto apply = [&] { applyBatch(); };
    runOrDiscard(apply);
  }
  return true;
}

void ListBox2::applyBatch() {
  using Kind = listbox2::ListUpdateBatch::Kind;
  for (const listbox2::ListUpdateBatch::Entry& entry : batch_.entries()) {
    switch (entry.kind) {
      case Kind::kAppend:
        entry.record->markPending(nullptr);
        appendNow(entry.record);
        break;
      case Kind::kInsert:
        entry.record->markPending(nullptr);
        insertNow(entry.position, entry.record);
        break;
      case Kind::kGiveValue:
        if (!setValueNow(entry.record, entry.stamp, entry.column, entry.value)) {
          listbox2::disposeValue(entry.value, entry.owner);
        }
        break;
      case Kind::kRefreshColumn:
        refreshColumnNow(entry.column);
        break;
      case Kind::kSortByColumn:
        list_.sortByColumn(entry.column);
        break;
      case Kind::kSort:
        sortRows();
        break;
    }
  }
  batch_.clear();
}

bool ListBox2::appendNow(Record* record) {
  const bool done = insertShown(list_.recordCount(), record) > 0;
  if (done && autoSort_) {
    sortRows();
  }
  rowsChanged();
  return done;
}

bool ListBox2::insertNow(uint32_t position, Record* record) {
  const bool done = insertShown(position, record) > 0;
  rowsChanged();
  return done;
}

bool ListBox2::appendRecord(Record* record) {
  // A record of the caller's own, not yet in a list: it goes with the update.
  if (record != nullptr && record->list() == nullptr && record->pending() == nullptr &&
      keep({.kind = listbox2::ListUpdateBatch::Kind::kAppend, .record = record})) {
    record->markPending(&list_);
    return true;
  }
  bool done = false;
  auto operation = [&] { done = appendNow(record); };
  carry(operation);
  return done;
}

bool ListBox2::appendRecord(PoolPtr<Record> record) {
  if (!appendRecord(record.get())) {
    return false;
  }
  static_cast<void>(handOver(std::move(record)));  // the list's from here on
  return true;
}

bool ListBox2::insertRecord(uint32_t position, Record* record) {
  if (record != nullptr && record->list() == nullptr && record->pending() == nullptr &&
      keep({.kind = listbox2::ListUpdateBatch::Kind::kInsert,
            .record = record,
            .position = position})) {
    record->markPending(&list_);
    return true;
  }
  bool done = false;
  auto operation = [&] { done = insertNow(position, record); };
  carry(operation);
  return done;
}

bool ListBox2::removeRecord(Record* record, uint32_t stamp) {
  bool done = false;
  auto operation = [&] {
    done = removeShown(record, stamp);
    rowsChanged();
  };
  carry(operation);
  return done;
}

bool ListBox2::removeAndRelease(Record* record, uint32_t stamp) {
  bool done = false;
  auto operation = [&] {
    done = removeShown(record, stamp);
    if (done) {
      const PoolPtr<Record> removed = listbox2::ownUnlessChild(record);
    }
    rowsChanged();
  };
  carry(operation);
  return done;
}

void ListBox2::removeAll() {
  auto operation = [&] {
    while (list_.recordCount() > 0) {
      Record* record = list_.record(list_.recordCount() - 1);
      removeShown(record, record->stamp());
    }
    rowsChanged();
  };
  carry(operation);
}

void ListBox2::removeAllAndRelease() {
  auto operation = [&] {
    while (list_.recordCount() > 0) {
      Record* record = list_.record(list_.recordCount() - 1);
      removeShown(record, record->stamp());
      const PoolPtr<Record> removed = listbox2::ownUnlessChild(record);
    }
    rowsChanged();
  };
  carry(operation);
}

bool ListBox2::setValueNow(Record* record, uint32_t stamp, uint32_t column,
                           listbox2::CellValue value) {
  SubRecord* cell = list_.contains(record, stamp) ? record->cell(column) : nullptr;
  if (cell == nullptr) {
    return false;
  }
  cell->setValue(value);
  view_->cellChanged(*record, column);
  return true;
}

bool ListBox2::setValue(Record* record, uint32_t stamp, uint32_t column,
                        listbox2::CellValue value) {
  bool done = false;
  auto operation = [&] { done = setValueNow(record, stamp, column, value); };
  carry(operation);
  return done;
}

void ListBox2::giveValue(Record* record, uint32_t stamp, uint32_t column, listbox2::CellValue value,
                         IDestructor<void>* owner) {
  if (keep({.kind = listbox2::ListUpdateBatch::Kind::kGiveValue,
            .record = record,
            .stamp = stamp,
            .column = column,
            .value = value,
            .owner = owner})) {
    return;
  }
  if (!setValue(record, stamp, column, value)) {
    listbox2::disposeValue(value, owner);
  }
}

bool ListBox2::refreshText(Record* record, uint32_t stamp, uint32_t column) {
  bool done = false;
  auto operation = [&] {
    SubRecord* cell = list_.contains(record, stamp) ? record->cell(column) : nullptr;
    if (cell == nullptr) {
      return;
    }
    cell->refreshText();
    done = true;
    view_->cellChanged(*record, column);
  };
  carry(operation);
  return done;
}

void ListBox2::refreshColumnNow(uint32_t column) {
  // The texts are made again when they are next shown or read: most rows are not on screen.
  for (uint32_t row = 0; row < list_.recordCount(); ++row) {
    if (SubRecord* cell = list_.record(row)->cell(column)) {
      cell->dropText();
    }
  }
  view_->columnChanged(column);
}

void ListBox2::refreshColumn(uint32_t column) {
  if (keep({.kind = listbox2::ListUpdateBatch::Kind::kRefreshColumn, .column = column})) {
    return;
  }
  auto operation = [&] { refreshColumnNow(column); };
  carry(operation);
}

bool ListBox2::setMarked(Record* record, uint32_t stamp, bool marked) {
  bool done = false;
  auto operation = [&] {
    if (!list_.contains(record, stamp)) {
      return;
    }
    record->setMarked(marked);
    done = true;
    view_->rowChanged(*record);
  };
  carry(operation);
  return done;
}

bool ListBox2::setCheckState(Record* record, uint32_t stamp, uint32_t column, int32_t state,
                             bool notify) {
  bool done = false;
  auto operation = [&] {
    SubRecord* cell = list_.contains(record, stamp) ? record->cell(column) : nullptr;
    if (cell == nullptr || cell->checkState() == listbox2::kNoCheckBox ||
        state < listbox2::kUnchecked || state > listbox2::kPartlyChecked ||
        cell->checkState() == state) {
      return;
    }
    cell->setCheckState(state);
    done = true;
    if (notify && state == listbox2::kChecked) {
      send(kEventChecked);
    } else if (notify && state == listbox2::kUnchecked) {
      send(kEventUnchecked);
    }
    view_->rowChanged(*record);
  };
  carry(operation);
  return done;
}

void ListBox2::collapse(Record* record) {
  record->cell(static_cast<uint32_t>(record->treeCell()))->setExpandState(listbox2::kCollapsed);
  for (uint32_t i = 0; i < record->childCount(); ++i) {
    Record* child = record->child(i);
    removeShown(child, child->stamp());
  }
}

bool ListBox2::toggleExpand(Record* record, uint32_t stamp) {
  bool done = false;
  auto operation = [&] {
    SubRecord* tree = list_.contains(record, stamp) && record->treeCell() >= 0
                          ? record->cell(static_cast<uint32_t>(record->treeCell()))
                          : nullptr;
    if (tree == nullptr) {
      return;
    }
    done = true;
    if (tree->expandState() == listbox2::kExpanded) {
      collapse(record);
    } else {
      tree->setExpandState(listbox2::kExpanded);
      uint32_t rows = 1;
      for (uint32_t i = 0; i < record->childCount(); ++i) {
        rows += insertShown(record->row() + rows, record->child(i));
      }
    }
    // The toggle's look changes with it.
    view_->rowChanged(*record);
    rowsChanged();
  };
  carry(operation);
  return done;
}

Record* ListBox2::next(Record* record, uint32_t stamp, bool wrap) {
  Record* found = nullptr;
  auto operation = [&] {
    uint32_t count = list_.recordCount();
    if (list_.contains(record, stamp) && record->row() + 1 < count) {
      found = list_.record(record->row() + 1);
    } else if (wrap) {
      found = list_.record(0);
    }
  };
  carry(operation);
  return found;
}

Record* ListBox2::previous(Record* record, uint32_t stamp, bool wrap) {
  Record* found = nullptr;
  auto operation = [&] {
    uint32_t count = list_.recordCount();
    if (list_.contains(record, stamp) && record->row() > 0) {
      found = list_.record(record->row() - 1);
    } else if (wrap && count > 0) {
      found = list_.record(count - 1);
    }
  };
  carry(operation);
  return found;
}

Record* ListBox2::first() {
  Record* found = nullptr;
  auto operation = [&] { found = list_.record(0); };
  carry(operation);
  return found;
}

uint32_t ListBox2::recordCount() {
  uint32_t count = 0;
  auto operation = [&] { count = list_.recordCount(); };
  carry(operation);
  return count;
}

Record* ListBox2::getRecord(uint32_t row) {
  Record* found = nullptr;
  auto operation = [&] { found = list_.record(row); };
  carry(operation);
  return found;
}

// --- Sorting ---------------------------------------------------------------------------

void ListBox2::sortByColumn(uint32_t column) {
  if (keep({.kind = listbox2::ListUpdateBatch::Kind::kSortByColumn, .column = column})) {
    return;
  }
  auto operation = [&] { list_.sortByColumn(column); };
  carry(operation);
}

void ListBox2::sortRows() {
  // Children must stay right below their parent, which a sort of all rows would not keep.
  if (list_.hasTreeColumn()) {
    for (uint32_t row = 0; row < list_.recordCount(); ++row) {
      Record* record = list_.record(row);
      if (record->expanded()) {
        collapse(record);
      }
    }
  }
  list_.sort();
  view_->rowsSorted();
  send(kEventSorted);
}

void ListBox2::sort() {
  if (keep({.kind = listbox2::ListUpdateBatch::Kind::kSort})) {
    return;
  }
  auto operation = [&] { sortRows(); };
  carry(operation);
}

void ListBox2::beginUpdate() {
  std::thread::id listThread;
  auto operation = [&] {
    updating_ = true;
    changedInUpdate_ = false;
    view_->updateBegun();
    listThread = std::this_thread::get_id();
  };
  carry(operation);
  // From another thread the update is kept and goes over at its end.
  if (executor_ != nullptr && listThread != std::this_thread::get_id() && !batch_.isOpen()) {
    batch_.open();
  }
}

void ListBox2::endUpdate() {
  auto operation = [&] {
    updating_ = false;
    view_->updateEnded();
  };
  if (batch_.isOpenHere()) {
    batch_.close();
    auto all = [&] {
      applyBatch();
      operation();
    };
    runOrDiscard(all);
    return;
  }
  carry(operation);
}

// --- Column order ----------------------------------------------------------------------

bool ListBox2::setColumnOrder(const col::ArrayS32& order) {
  uint32_t n = list_.columnCount();
  if (order.count() != n) {
    return false;
  }
  // A stored order names each column once; anything else would hide or repeat columns.
  PoolPtr<col::ArrayU08> seen = col::ArrayU08::make();
  seen->setCount(n);
  std::fill(seen->begin(), seen->end(), uint8_t{0});
  for (int32_t column : order) {
    if (column < 0 || static_cast<uint32_t>(column) >= n || seen->at(column) != 0) {
      return false;
    }
    seen->at(column) = 1;
  }
  displayOrder_.clear();
  displayOrder_.append(order.data(), n);
  view_->columnOrderChanged();
  return true;
}

namespace {

// "_" and the position in decimal.
std::u16string_view positionKey(uint32_t position, char16_t (&key)[12]) {
  char16_t digits[10];
  uint32_t n = 0;
  do {
    digits[n++] = static_cast<char16_t>(u'0' + position % 10);
    position /= 10;
  } while (position != 0);
  key[0] = u'_';
  for (uint32_t i = 0; i < n; ++i) {
    key[1 + i] = digits[n - 1 - i];
  }
  return {key, n + 1};
}

}  // namespace

void ListBox2::saveColumnOrder(settings::IMappedData& data, std::u16string_view dir) const {
  data.setS32(dir, u"length", static_cast<int32_t>(displayOrder_.count()));
  char16_t key[12];
  for (uint32_t i = 0; i < displayOrder_.count(); ++i) {
    data.setS32(dir, positionKey(i, key), displayOrder_[i]);
  }
}

bool ListBox2::restoreColumnOrder(settings::IMappedData& data, std::u16string_view dir) {
  int32_t length = data.getS32(dir, u"length", 0);
  // An order of any other length would be refused, so a damaged length reads nothing more.
  if (length <= 0 || static_cast<uint32_t>(length) != list_.columnCount()) {
    return false;
  }
  PoolPtr<col::ArrayS32> order = col::ArrayS32::make();
  char16_t key[12];
  for (int32_t i = 0; i < length; ++i) {
    order->push(data.getS32(dir, positionKey(static_cast<uint32_t>(i), key), i));
  }
  return setColumnOrder(*order);
}

// --- Selection -------------------------------------------------------------------------

bool ListBox2::getSelected(uint32_t i, Record*& record, uint32_t& stamp) const {
  if (i >= selectedRecords_.count()) {
    record = nullptr;
    stamp = 0;
    return false;
  }
  record = selectedRecords_.at(i);
  stamp = selectedStamps_[i];
  return true;
}

void ListBox2::itemStateChanged(Record* record, uint32_t newState, uint32_t oldState) {
  if (!list_.holds(record)) {
    return;
  }
  if ((newState & kRowSelected) != 0) {
    if (!record->selected()) {
      record->setSelected(true);
      selectedRecords_.push(record);
      selectedStamps_.push(record->stamp());
      if (selectedRecords_.count() == 1) {
        send(kEventFirstSelected);
      }
    }
    send(kEventSelectionChanged);
  } else if (newState == 0 && oldState == kRowSelected) {
    dropFromSelection(record);
  }
}

void ListBox2::dropFromSelection(Record* record) {
  if (!record->selected()) {
    return;
  }
  // From the end: a selection is cleared last first.
  uint32_t at = selectedRecords_.count();
  while (at > 0 && selectedRecords_.at(at - 1) != record) {
    --at;
  }
  record->setSelected(false);
  if (at == 0) {
    return;
  }
  --at;
  selectedRecords_.removeRange(at, 1);
  selectedStamps_.removeRange(at, 1);
  send(kEventDeselected);
  if (selectedRecords_.empty()) {
    send(kEventSelectionEmptied);
  }
}

void ListBox2::sortSelectionByRow() {
  auto operation = [&] {
    PoolPtr<col::ArrayP<Record>> scratch = col::ArrayP<Record>::make();
    col::mergeSort(
        selectedRecords_,
        [](const Record* a, const Record* b) {
          return col::CompU32::instance().compare(a->row(), b->row());
        },
        *scratch);
    for (uint32_t i = 0; i < selectedRecords_.count(); ++i) {
      selectedStamps_[i] = selectedRecords_.at(i)->stamp();
    }
  };
  carry(operation);
}

bool ListBox2::select(Record* record, uint32_t stamp) {
  bool done = false;
  auto operation = [&] {
    if (!list_.contains(record, stamp)) {
      return;
    }
    done = true;
    view_->setRowSelected(*record, true);
  };
  carry(operation);
  return done;
}

void ListBox2::clearSelection() {
  auto operation = [&] {
    for (uint32_t i = selectedRecords_.count(); i-- > 0;) {
      if (i >= selectedRecords_.count()) {
        continue;
      }
      Record* record = selectedRecords_.at(i);
      view_->setRowSelected(*record, false);
    }
  };
  carry(operation);
}

bool ListBox2::ensureVisible(Record* record, uint32_t stamp) {
  bool done = false;
  auto operation = [&] {
    done = list_.contains(record, stamp);
    if (done) {
      view_->showRow(*record);
    }
  };
  carry(operation);
  return done;
}

// --- Listeners -------------------------------------------------------------------------

void ListBox2::addListener(ListEvent event, events::IEventListener* listener) {
  if (listener != nullptr) {
    listeners_.push(listener);
    listenerCodes_.push(event);
  }
}

void ListBox2::removeListener(ListEvent event, events::IEventListener* listener) {
  for (uint32_t i = listeners_.count(); i-- > 0;) {
    if (listeners_.at(i) == listener && listenerCodes_[i] == event) {
      listeners_.removeRange(i, 1);
      listenerCodes_.removeRange(i, 1);
    }
  }
}

void ListBox2::send(ListEvent event) {
  // Indexes, not iterators: a listener may register or drop listeners while it is told.
  for (uint32_t i = 0; i < listeners_.count(); ++i) {
    if (listenerCodes_[i] == event) {
      listeners_.at(i)->onEvent(this, event);
    }
  }
}

void ListBox2::reset() {
  batch_.discard();
  // The header stays with the list through its uses.
  detachHeader();
  Component::reset();
  list_.reset();
  list_.setControl(this);
  displayOrder_.freeMemory();
  selectedRecords_.freeMemory();
  selectedStamps_.freeMemory();
  listeners_.freeMemory();
  listenerCodes_.freeMemory();
  autoSort_ = false;
  updating_ = false;
  executor_ = nullptr;
  view_ = &repaints_;
  resetView();
  attachHeader();
}

}  // namespace s::gui::win

#include "gui/listbox2/List.h"

#include <algorithm>

#include "framework/col/MergeSort.h"
#include "gui/listbox2/IListBox2.h"

namespace s::gui::listbox2 {

List::List() {
  columns_.setDestructor(&DataType::pool());
}

uint32_t List::addColumn(PoolPtr<DataType> column) {
  uint32_t index = columns_.count();
  columns_.push(std::move(column));
  sortKeys_.push(index);
  return index;
}

bool List::hasTreeColumn() const {
  return std::any_of(columns_.begin(), columns_.end(),
                     [](const DataType* column) { return column->treeColumn(); });
}

bool List::append(Record* record) {
  return insert(records_.count(), record);
}

bool List::insert(uint32_t position, Record* record) {
  if (record == nullptr || (record->list() != nullptr && !record->removed())) {
    return false;
  }
  uint32_t at = std::min(position, records_.count());
  record->placeIn(this, at);
  records_.insert(at, &record, 1);
  renumberFrom(at + 1);
  return true;
}

bool List::remove(Record* record, uint32_t stamp) {
  if (!contains(record, stamp)) {
    return false;
  }
  uint32_t at = record->row();
  records_.removeRange(at, 1);
  renumberFrom(at);
  record->markRemoved();
  return true;
}

void List::renumberFrom(uint32_t row) {
  for (uint32_t i = row; i < records_.count(); ++i) {
    records_.at(i)->setRow(i);
  }
}

void List::sortByColumn(uint32_t column) {
  if (DataType* type = this->column(column)) {
    type->flipDirection();
  }
  int64_t at = sortKeys_.indexOf(column);
  if (at > 0) {
    sortKeys_.removeRange(static_cast<uint32_t>(at), 1);
    sortKeys_.prepend(&column, 1);
  }
}

int32_t List::compare(const Record* a, const Record* b) const {
  for (uint32_t key : sortKeys_) {
    const DataType* type = columns_.at(key);
    if (!type->sortable() || type->comparator() == nullptr) {
      continue;
    }
    const SubRecord* cellA = a->cell(key);
    const SubRecord* cellB = b->cell(key);
    int32_t r = 0;
    if (cellA != nullptr && cellB != nullptr) {
      r = type->comparator()(cellA->value(), cellB->value(), nullptr);
    } else {
      // A row short of this cell sorts before one that has it.
      r = static_cast<int32_t>(cellA != nullptr) - static_cast<int32_t>(cellB != nullptr);
    }
    if (r != 0) {
      r = r > 0 ? 1 : -1;
      return type->ascending() ? r : -r;
    }
  }
  return 0;
}

void List::sort() {
  col::mergeSort(
      records_, [this](const Record* a, const Record* b) { return compare(a, b); }, scratch_);
  renumberFrom(0);
}

void List::moveRows(uint32_t before, bool (*moves)(const Record& record)) {
  const uint32_t count = records_.count();
  before = before > count ? count : before;
  scratch_.clear();
  auto keep = [&](uint32_t from, uint32_t to, bool moving) {
    for (uint32_t i = from; i < to; ++i) {
      if (moves(*records_.at(i)) == moving) {
        scratch_.push(records_.at(i));
      }
    }
  };
  keep(0, before, false);
  keep(0, count, true);
  keep(before, count, false);
  for (uint32_t i = 0; i < count; ++i) {
    records_[i] = scratch_.at(i);
  }
  scratch_.clear();
  renumberFrom(0);
}

void List::detach(Record* record) {
  if (control_ != nullptr) {
    control_->removeRecord(record, record->stamp());
  } else {
    remove(record, record->stamp());
  }
}

void List::reset() {
  while (!records_.empty()) {
    Record* record = records_.pop();
    record->markRemoved();
    const PoolPtr<Record> removed = ownUnlessChild(record);
  }
  records_.freeMemory();
  scratch_.freeMemory();
  columns_.freeMemory();
  sortKeys_.freeMemory();
  control_ = nullptr;
}

}  // namespace s::gui::listbox2

#include "gui/listbox2/Record.h"

#include <atomic>
#include <utility>

#include "gui/listbox2/List.h"

namespace s::gui::listbox2 {

namespace {

std::atomic<uint32_t> stampCounter{0};

// Stamp 0 stands for a record not in use, so the count skips it when it wraps.
uint32_t nextStamp() {
  uint32_t stamp = stampCounter.fetch_add(1, std::memory_order_relaxed) + 1;
  return stamp != 0 ? stamp : stampCounter.fetch_add(1, std::memory_order_relaxed) + 1;
}

}  // namespace

Record::Record() {
  cells_.setDestructor(&SubRecord::pool());
}

bool Record::expanded() const {
  const SubRecord* tree = treeCell_ < 0 ? nullptr : cell(static_cast<uint32_t>(treeCell_));
  return tree != nullptr && tree->expandState() == kExpanded;
}

void Record::detach() {
  for (uint32_t i = 0; i < childCount(); ++i) {
    children_->at(i)->detach();
  }
  if (list_ != nullptr && !removed_) {
    list_->detach(this);
  } else if (pending_ != nullptr) {
    pending_->detach(this);
  }
}

void Record::dropChild(Record* child) {
  int64_t at = children_ == nullptr ? -1 : children_->indexOf(child);
  if (at >= 0) {
    children_->removeRange(static_cast<uint32_t>(at), 1);
  }
}

void Record::release() {
  detach();
  Pooled::release();
}

void Record::reset() {
  detach();
  if (parent_ != nullptr) {
    parent_->dropChild(this);
    parent_ = nullptr;
  }
  if (children_ != nullptr) {
    PoolPtr<col::ArrayP<Record>> children = std::move(children_);
    for (Record* child : *children) {
      child->parent_ = nullptr;
    }
  }
  cells_.freeMemory();
  list_ = nullptr;
  row_ = 0;
  userData_ = nullptr;
  cellCapacity_ = 0;
  stamp_ = 0;
  removed_ = marked_ = greyed_ = selected_ = false;
  pending_ = nullptr;
  treeCell_ = -1;
}

uint32_t Record::level() const {
  uint32_t level = 0;
  for (const Record* up = parent_; up != nullptr; up = up->parent_) {
    ++level;
  }
  return level;
}

PoolPtr<Record> ownUnlessChild(Record* record) {
  return PoolPtr<Record>(record != nullptr && record->parent() == nullptr ? record : nullptr);
}

PoolPtr<Record> newRecord(uint32_t cellCapacity, IObject* userData) {
  PoolPtr<Record> record = Record::make();
  record->stamp_ = nextStamp();
  record->userData_ = userData;
  record->cellCapacity_ = cellCapacity;
  record->cells_.ensureCapacity(cellCapacity);
  record->treeCell_ = -1;
  return record;
}

bool appendCell(Record* record, PoolPtr<SubRecord> cell) {
  if (record == nullptr || cell == nullptr || record->cellCount() >= record->cellCapacity_) {
    return false;
  }
  cell->attach(record, record->cellCount());
  record->cells_.push(std::move(cell));
  return true;
}

void addChild(Record* parent, int64_t index, Record* child) {
  if (parent == nullptr || child == nullptr || child->parent_ != nullptr || child == parent ||
      isDescendantOf(parent, child)) {
    return;
  }
  if (parent->children_ == nullptr) {
    parent->children_ = col::ArrayP<Record>::make();
    // Children go back through release(), which detaches them first.
    parent->children_->setDestructor(&ReleasingDisposer<Record>::instance());
  }
  uint32_t count = parent->children_->count();
  uint32_t at = index < 0 ? 0 : (index > count ? count : static_cast<uint32_t>(index));
  parent->children_->insert(at, &child, 1);
  child->parent_ = parent;
}

bool isDescendantOf(const Record* record, const Record* ancestor) {
  for (const Record* up = record == nullptr ? nullptr : record->parent(); up != nullptr;
       up = up->parent()) {
    if (up == ancestor) {
      return true;
    }
  }
  return false;
}

}  // namespace s::gui::listbox2

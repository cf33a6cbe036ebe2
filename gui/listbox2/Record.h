#pragma once

#include <cstdint>
#include <string_view>

#include "framework/base/Pooled.h"
#include "framework/col/ArrayP.h"
#include "gui/listbox2/SubRecord.h"

namespace s::gui::listbox2 {

class List;

// One row: its cells in column order, a stamp that tells this use of the pooled object from
// any later one, and its place in the list that holds it.
class Record final : public Pooled<Record, PoolableObject> {
 public:
  Record();
  ~Record() override { reset(); }
  Record(const Record&) = delete;
  Record& operator=(const Record&) = delete;

  List* list() const { return list_; }
  uint32_t row() const { return row_; }
  IObject* userData() const { return userData_; }
  uint32_t stamp() const { return stamp_; }
  bool removed() const { return removed_; }
  bool marked() const { return marked_; }
  bool greyed() const { return greyed_; }
  void setMarked(bool on) { marked_ = on; }
  void setGreyed(bool on) { greyed_ = on; }
  // Kept by the control in step with its selection, so that drawing asks no search.
  bool selected() const { return selected_; }
  void setSelected(bool on) { selected_ = on; }

  uint32_t cellCapacity() const { return cellCapacity_; }
  uint32_t cellCount() const { return cells_.count(); }
  // Null past the cells appended.
  SubRecord* cell(uint32_t column) const {
    return column < cells_.count() ? cells_.at(column) : nullptr;
  }

  int32_t treeCell() const { return treeCell_; }
  void setTreeCell(int32_t column) { treeCell_ = column; }
  // The tree cell shows its children.
  bool expanded() const;
  uint32_t childCount() const { return children_ == nullptr ? 0 : children_->count(); }
  Record* child(uint32_t i) const { return i < childCount() ? children_->at(i) : nullptr; }
  Record* parent() const { return parent_; }
  // 0 for a top-level record, 1 for its children, ...
  uint32_t level() const;

  // Called by the list that places or takes out the record.
  void placeIn(List* list, uint32_t row) {
    list_ = list;
    row_ = row;
    removed_ = false;
  }
  void setRow(uint32_t row) { row_ = row; }
  void markRemoved() { removed_ = true; }
  // The list the record is on its way into (an update not yet carried over); none otherwise.
  // Releasing it meanwhile carries the update over first, so that it is taken out again.
  List* pending() const { return pending_; }
  void markPending(List* list) { pending_ = list; }

  // Takes the record out of its list (through its control, on the control's thread) before
  // it goes back to the pool, so that no pool lock is held while waiting for that thread.
  void release() override;
  void reset() override;
  std::u16string_view className() const override { return u"s_gui_listbox2_Record"; }

 private:
  friend PoolPtr<Record> newRecord(uint32_t cellCapacity, IObject* userData);
  friend bool appendCell(Record* record, PoolPtr<SubRecord> cell);
  friend void addChild(Record* parent, int64_t index, Record* child);

  void detach();
  void dropChild(Record* child);

  List* list_ = nullptr;
  uint32_t row_ = 0;
  IObject* userData_ = nullptr;
  uint32_t cellCapacity_ = 0;
  col::ArrayP<SubRecord> cells_;
  uint32_t stamp_ = 0;
  bool removed_ = false;
  bool marked_ = false;
  bool greyed_ = false;
  bool selected_ = false;
  List* pending_ = nullptr;
  int32_t treeCell_ = -1;
  PoolPtr<col::ArrayP<Record>> children_;
  Record* parent_ = nullptr;
};

// A record with room for `cellCapacity` cells and the next stamp of the process-wide count.
PoolPtr<Record> newRecord(uint32_t cellCapacity, IObject* userData);
// Sets the cell's record and column (the current cell count) and appends it. False, and the
// cell goes back to its pool, when the record is full or either is none.
bool appendCell(Record* record, PoolPtr<SubRecord> cell);
// Inserts `child` among `parent`'s children at `index` clamped to [0, count]; the parent owns
// it from then on.
void addChild(Record* parent, int64_t index, Record* child);
bool isDescendantOf(const Record* record, const Record* ancestor);
// A record that has left its list, held for whoever gives it back: a top-level record; none
// for a child, which its parent keeps.
PoolPtr<Record> ownUnlessChild(Record* record);

}  // namespace s::gui::listbox2

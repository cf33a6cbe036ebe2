#pragma once

#include <cstdint>
#include <string_view>

#include "framework/base/Pooled.h"
#include "framework/col/Array.h"
#include "framework/col/ArrayP.h"
#include "gui/listbox2/DataType.h"
#include "gui/listbox2/Record.h"

namespace s::gui {
class IListBox2;
}  // namespace s::gui

namespace s::gui::listbox2 {

// The rows of a list control in display order, its columns and their sort priority.
// Every held record sits at the position its row number names, which makes the membership
// test a constant-time look at that position. Not locked: the control keeps it on one
// thread.
class List final : public Pooled<List, PoolableObject> {
 public:
  List();
  ~List() override { reset(); }
  List(const List&) = delete;
  List& operator=(const List&) = delete;

  // The list owns its columns; a column's index never changes. Answers the index.
  uint32_t addColumn(PoolPtr<DataType> column);
  DataType* column(uint32_t index) const {
    return index < columns_.count() ? columns_.at(index) : nullptr;
  }
  uint32_t columnCount() const { return columns_.count(); }
  bool hasTreeColumn() const;

  // Column indexes, most significant first; every column exactly once.
  const col::ArrayU32& sortKeys() const { return sortKeys_; }

  uint32_t recordCount() const { return records_.count(); }
  Record* record(uint32_t row) const { return row < records_.count() ? records_.at(row) : nullptr; }
  // Held, and still the use of the record that had this stamp.
  bool contains(const Record* record, uint32_t stamp) const {
    return holds(record) && record->stamp() == stamp;
  }
  bool holds(const Record* record) const {
    return record != nullptr && record->list() == this && !record->removed() &&
           record->row() < records_.count() && records_.at(record->row()) == record;
  }

  // One row, at the end or at `position` (the end when past it). False for none or a record
  // already held by a list.
  bool append(Record* record);
  bool insert(uint32_t position, Record* record);
  // False when not contained with that stamp.
  bool remove(Record* record, uint32_t stamp);

  // Moves the rows that `moves` picks, in their order, to just before row `before` (the end
  // when past it), the others keeping theirs. Renumbers the rows.
  void moveRows(uint32_t before, bool (*moves)(const Record& record));

  // Flips the column's direction and makes it the first key; an index missing from the keys
  // changes only the direction.
  void sortByColumn(uint32_t column);
  // Stable: records equal in every key keep their order. Renumbers the rows.
  void sort();
  // By the sort keys: sortable columns with a comparator, each in its direction.
  int32_t compare(const Record* a, const Record* b) const;

  IListBox2* control() const { return control_; }
  void setControl(IListBox2* control) { control_ = control; }
  // Takes a record that is being released out of the list: through the control when there
  // is one, so that the control's thread does it.
  void detach(Record* record);

  void reset() override;
  std::u16string_view className() const override { return u"s_gui_listbox2_List"; }

 private:
  void renumberFrom(uint32_t row);

  col::ArrayP<DataType> columns_;
  col::ArrayP<Record> records_;
  // The sort's second buffer, kept so that sorting again allocates nothing.
  col::ArrayP<Record> scratch_;
  col::ArrayU32 sortKeys_;
  IListBox2* control_ = nullptr;
};

}  // namespace s::gui::listbox2

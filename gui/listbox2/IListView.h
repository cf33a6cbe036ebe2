#pragma once

#include <cstdint>

namespace s::gui::listbox2 {

class Record;

// What the list's view (the window that draws it) is told of changes to the model. Every
// call comes on the window's thread, after the model has changed unless it says otherwise.
class IListView {
 public:
  virtual ~IListView() = default;

  virtual void columnAdded(uint32_t column) = 0;
  virtual void columnOrderChanged() = 0;
  // The record is at its row.
  virtual void rowInserted(Record& record) = 0;
  // Before the record leaves its row.
  virtual void rowRemoving(Record& record) = 0;
  virtual void cellChanged(Record& record, uint32_t column) = 0;
  virtual void rowChanged(Record& record) = 0;
  virtual void columnChanged(uint32_t column) = 0;
  // The rows have new numbers.
  virtual void rowsSorted() = 0;
  virtual void updateBegun() = 0;
  virtual void updateEnded() = 0;
  virtual void showRow(Record& record) = 0;
  // The view changes the row's state and reports it back through itemStateChanged().
  virtual void setRowSelected(Record& record, bool selected) = 0;
};

}  // namespace s::gui::listbox2

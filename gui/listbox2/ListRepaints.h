#pragma once

#include <cstdint>

#include "gui/listbox2/IListView.h"

namespace s::gui::win {
class ListBox2;
}

namespace s::gui::listbox2 {

// What a list's own view does with the model's changes: it marks what they changed on screen
// (a cell's row, the rows from an insertion on, everything after a sort) for the window's next
// paint, keeps the scroll bars in step with the rows, and forgets rows that leave. Nothing is
// marked between beginUpdate and endUpdate, which marks the whole list once when anything
// changed.
class ListRepaints final : public IListView {
 public:
  explicit ListRepaints(win::ListBox2& list) : list_(list) {}

  void columnAdded(uint32_t column) override;
  void columnOrderChanged() override;
  void rowInserted(Record& record) override;
  void rowRemoving(Record& record) override;
  void cellChanged(Record& record, uint32_t column) override;
  void rowChanged(Record& record) override;
  void columnChanged(uint32_t column) override;
  void rowsSorted() override;
  void updateBegun() override;
  void updateEnded() override;
  void showRow(Record& record) override;
  void setRowSelected(Record& record, bool selected) override;

 private:
  // Inside an update: the change is noted for its end instead of marked now.
  bool changing();

  win::ListBox2& list_;
};

}  // namespace s::gui::listbox2

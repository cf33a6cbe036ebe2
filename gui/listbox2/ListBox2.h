#pragma once

#include <cstdint>
#include <string_view>

#include "framework/base/Pooled.h"
#include "framework/col/Array.h"
#include "framework/col/ArrayP.h"
#include "gui/listbox2/IListBox2.h"
#include "gui/listbox2/IListView.h"
#include "gui/listbox2/List.h"
#include "platform/ui/IUiExecutor.h"

namespace s::gui::win {

// The list control's model side: the rows, columns, sort, selection and column order, with
// every record operation carried to the window's thread through the executor. The window
// that draws it attaches an executor and a view; until then operations act on the model on
// the caller's thread.
class ListBox2 final : public Pooled<ListBox2, IListBox2> {
 public:
  ListBox2();
  ~ListBox2() override { reset(); }
  ListBox2(const ListBox2&) = delete;
  ListBox2& operator=(const ListBox2&) = delete;

  // Neither is owned. Attach both before the list is used from other threads.
  void setExecutor(platform::ui::IUiExecutor* executor) { executor_ = executor; }
  void setView(listbox2::IListView* view) { view_ = view; }
  listbox2::List& list() { return list_; }
  bool updating() const { return updating_; }

  // The view reports a row's state change (kRowSelected, kRowFocused bits), on the window's
  // thread.
  void itemStateChanged(listbox2::Record* record, uint32_t newState, uint32_t oldState);

  uint32_t addColumn(PoolPtr<listbox2::DataType> column) override;
  uint32_t addColumn(const listbox2::ColumnOptions& options) override;
  uint32_t addColumn(lang::Localizer* localizer, int32_t titleTextId, int32_t width,
                     int32_t alignment, bool sortable, listbox2::CellComparator comparator,
                     bool ascending, bool showsIcon, bool checkBoxes, bool editable,
                     bool treeColumn) override;
  uint32_t addColumn(std::u16string_view title, int32_t width, int32_t alignment, bool sortable,
                     listbox2::CellComparator comparator, bool ascending, bool showsIcon,
                     bool checkBoxes, bool editable, bool treeColumn) override;
  listbox2::DataType* getColumn(uint32_t index) const override { return list_.column(index); }
  uint32_t columnCount() const override { return list_.columnCount(); }

  bool appendRecord(listbox2::Record* record) override;
  bool insertRecord(uint32_t position, listbox2::Record* record) override;
  bool removeRecord(listbox2::Record* record, uint32_t stamp) override;
  bool removeAndRelease(listbox2::Record* record, uint32_t stamp) override;
  void removeAll() override;
  void removeAllAndRelease() override;
  bool setValue(listbox2::Record* record, uint32_t stamp, uint32_t column,
                listbox2::CellValue value) override;
  bool refreshText(listbox2::Record* record, uint32_t stamp, uint32_t column) override;
  void refreshColumn(uint32_t column) override;
  bool setMarked(listbox2::Record* record, uint32_t stamp, bool marked) override;
  bool setCheckState(listbox2::Record* record, uint32_t stamp, uint32_t column, int32_t state,
                     bool notify) override;
  bool toggleExpand(listbox2::Record* record, uint32_t stamp) override;
  listbox2::Record* next(listbox2::Record* record, uint32_t stamp, bool wrap) override;
  listbox2::Record* previous(listbox2::Record* record, uint32_t stamp, bool wrap) override;
  listbox2::Record* first() override;
  uint32_t recordCount() override;
  listbox2::Record* getRecord(uint32_t row) override;

  void sortByColumn(uint32_t column) override;
  void sort() override;
  void setAutoSort(bool on) override { autoSort_ = on; }
  bool autoSort() const override { return autoSort_; }
  void beginUpdate() override;
  void endUpdate() override;

  bool setColumnOrder(const col::ArrayS32& order) override;
  const col::ArrayS32& getColumnOrder() const override { return displayOrder_; }
  void saveColumnOrder(settings::IMappedData& data, std::u16string_view dir) const override;
  bool restoreColumnOrder(settings::IMappedData& data, std::u16string_view dir) override;

  uint32_t selectedCount() const override { return selectedRecords_.count(); }
  bool getSelected(uint32_t i, listbox2::Record*& record, uint32_t& stamp) const override;
  void sortSelectionByRow() override;
  bool select(listbox2::Record* record, uint32_t stamp) override;
  void clearSelection() override;
  bool ensureVisible(listbox2::Record* record, uint32_t stamp) override;

  void addListener(ListEvent event, events::IEventListener* listener) override;
  void removeListener(ListEvent event, events::IEventListener* listener) override;

  void reset() override;
  std::u16string_view className() const override { return u"s_gui_win_ListBox2"; }

 private:
  // Runs the operation on the window's thread, or here without a window.
  template <class Operation>
  void carry(Operation& operation) {
    if (executor_ == nullptr) {
      operation();
      return;
    }
    executor_->runSync(operation);
  }

  void send(ListEvent event);
  uint32_t insertShown(uint32_t position, listbox2::Record* record);
  bool removeShown(listbox2::Record* record, uint32_t stamp);
  void collapse(listbox2::Record* record);
  void sortRows();
  void dropFromSelection(listbox2::Record* record);

  listbox2::List list_;
  col::ArrayS32 displayOrder_;
  col::ArrayP<listbox2::Record> selectedRecords_;
  col::ArrayU32 selectedStamps_;
  col::ArrayP<events::IEventListener> listeners_;
  col::ArrayS32 listenerCodes_;
  bool autoSort_ = false;
  bool updating_ = false;
  platform::ui::IUiExecutor* executor_ = nullptr;
  listbox2::IListView* view_ = nullptr;
};

}  // namespace s::gui::win

#pragma once

#include <cstdint>
#include <string_view>

#include "framework/base/IEventListener.h"
#include "framework/base/Pooled.h"
#include "framework/col/Array.h"
#include "framework/lang/Localizer.h"
#include "framework/settings/IMappedData.h"
#include "gui/layout/IComponent.h"
#include "gui/listbox2/CellValue.h"

namespace s::gui {

namespace listbox2 {
class DataType;
class Record;
}  // namespace listbox2

// Events a list sends to the listeners registered for them, with the list as the source.
enum ListEvent : int32_t {
  kEventSelectionChanged = 1,
  kEventDeselected = 2,
  kEventDropFiles = 3,   // files were dropped on the list
  kEventDroppedOut = 4,  // dragged rows were dropped on another component
  kEventEdited = 5,
  kEventColumnClicked = 6,  // a header was clicked, after any sort
  kEventMenu = 7,           // the pop-up menu is about to open
  kEventKey = 8,            // a key was pressed; a listener may mark it handled
  kEventFirstSelected = 20,
  kEventSelectionEmptied = 21,
  kEventDoubleClicked = 22,
  kEventChecked = 23,
  kEventUnchecked = 24,
  kEventReordered = 25,  // rows were moved by dragging them inside the list
  kEventSorted = 26,
  kEventDragStarted = 27,
  kEventDragMoved = 28,
  kEventDragEnded = 29,
  kEventDropped = 30,      // dragged items were dropped on the list
  kEventHotCell = 31,      // a cell's hot area was clicked
  kEventColumnClick = 32,  // a header was clicked, before any sort
};

// Row state bits the view reports.
inline constexpr uint32_t kRowFocused = 1;
inline constexpr uint32_t kRowSelected = 2;

namespace listbox2 {
// A new column, named with designated initialisers:
//   list.addColumn({.title = u"Pid", .width = 70, .alignment = kAlignRight,
//                   .comparator = compareUInt32});
struct ColumnOptions {
  // The title: text `titleTextId` of the localizer, read again when the language of the
  // list's window changes, or without an id the literal `title`.
  lang::Localizer* localizer = nullptr;
  int32_t titleTextId = -1;
  std::u16string_view title{};
  int32_t width = 0;
  int32_t alignment = 0;  // kAlignLeft, kAlignCentre or kAlignRight
  bool sortable = true;
  CellComparator comparator = nullptr;
  bool ascending = true;
  bool showsIcon = false;
  bool checkBoxes = false;
  bool editable = false;
  bool treeColumn = false;
};
}  // namespace listbox2

// The multi-column list control. Operations that name a record also name the stamp the
// caller last saw; they do nothing (false, none) unless the record is still held with that
// stamp, so a late operation on a removed and recycled record is harmless. Record
// operations may come from any thread: once the list has a window they run on its thread.
class IListBox2 : public virtual IComponent {
 public:
  // --- Columns (before records; never removed) -------------------------------------
  virtual uint32_t addColumn(PoolPtr<listbox2::DataType> column) = 0;
  virtual uint32_t addColumn(const listbox2::ColumnOptions& options) = 0;
  // The same in the order of the options, title first.
  virtual uint32_t addColumn(lang::Localizer* localizer, int32_t titleTextId, int32_t width,
                             int32_t alignment, bool sortable, listbox2::CellComparator comparator,
                             bool ascending, bool showsIcon, bool checkBoxes, bool editable,
                             bool treeColumn) = 0;
  virtual uint32_t addColumn(std::u16string_view title, int32_t width, int32_t alignment,
                             bool sortable, listbox2::CellComparator comparator, bool ascending,
                             bool showsIcon, bool checkBoxes, bool editable, bool treeColumn) = 0;
  virtual listbox2::DataType* getColumn(uint32_t index) const = 0;
  virtual uint32_t columnCount() const = 0;

  // --- Records -----------------------------------------------------------------------
  // False for none or a record already in a list. With auto-sort on, appending sorts.
  virtual bool appendRecord(listbox2::Record* record) = 0;
  // At the end when position is past it.
  virtual bool insertRecord(uint32_t position, listbox2::Record* record) = 0;
  virtual bool removeRecord(listbox2::Record* record, uint32_t stamp) = 0;
  // Then gives it back to its pool unless a parent owns it.
  virtual bool removeAndRelease(listbox2::Record* record, uint32_t stamp) = 0;
  virtual void removeAll() = 0;
  virtual void removeAllAndRelease() = 0;
  // Disposes of the old value and stores `value`. False when not contained: the value then
  // stays the caller's to dispose of.
  virtual bool setValue(listbox2::Record* record, uint32_t stamp, uint32_t column,
                        listbox2::CellValue value) = 0;
  // setValue for a caller that lets the value go: one the list cannot store (the record is
  // gone) is disposed of through `owner`. Between beginUpdate and endUpdate on another thread
  // it goes over with the rest of the update instead of on its own.
  virtual void giveValue(listbox2::Record* record, uint32_t stamp, uint32_t column,
                         listbox2::CellValue value, IDestructor<void>* owner) = 0;
  virtual bool refreshText(listbox2::Record* record, uint32_t stamp, uint32_t column) = 0;
  // Remakes that column's text in every row.
  virtual void refreshColumn(uint32_t column) = 0;
  virtual bool setMarked(listbox2::Record* record, uint32_t stamp, bool marked) = 0;
  // Only on a cell with a check box, to a state 1-3 other than its own. With `notify`,
  // sends kEventChecked (now 2) or kEventUnchecked (now 1).
  virtual bool setCheckState(listbox2::Record* record, uint32_t stamp, uint32_t column,
                             int32_t state, bool notify) = 0;
  // Expanded rows collapse (their children leave the rows), others expand (the children
  // follow the record in their order).
  virtual bool toggleExpand(listbox2::Record* record, uint32_t stamp) = 0;
  // Neighbours in display order; with `wrap`, past an end comes the other end, and a record
  // not contained gives the first (last).
  virtual listbox2::Record* next(listbox2::Record* record, uint32_t stamp, bool wrap) = 0;
  virtual listbox2::Record* previous(listbox2::Record* record, uint32_t stamp, bool wrap) = 0;
  virtual listbox2::Record* first() = 0;
  virtual uint32_t recordCount() = 0;
  virtual listbox2::Record* getRecord(uint32_t row) = 0;

  // --- Sorting -----------------------------------------------------------------------
  // Flips the column's direction and makes it the first sort key; does not sort.
  virtual void sortByColumn(uint32_t column) = 0;
  // Stable by the sort keys; then kEventSorted.
  virtual void sort() = 0;
  virtual void setAutoSort(bool on) = 0;
  virtual bool autoSort() const = 0;

  // Drawing waits until endUpdate, which draws what changed at once. Called on another thread
  // than the list's, the appends, handed-over values, column refreshes and sorts between the
  // two reach the list's thread together at endUpdate (or when an operation with an answer
  // needs them there first); the list's thread sees none of them before.
  virtual void beginUpdate() = 0;
  virtual void endUpdate() = 0;

  // --- Column order ------------------------------------------------------------------
  // Applies only a permutation of all column indexes.
  virtual bool setColumnOrder(const col::ArrayS32& order) = 0;
  virtual const col::ArrayS32& getColumnOrder() const = 0;
  // Under `dir`: "length" and "_0", "_1", ... the column shown at each position.
  virtual void saveColumnOrder(settings::IMappedData& data, std::u16string_view dir) const = 0;
  // Reads what saveColumnOrder wrote (a missing "_i" is i) and applies it if it fits.
  virtual bool restoreColumnOrder(settings::IMappedData& data, std::u16string_view dir) = 0;

  // --- Selection (in the order the rows were selected) -------------------------------
  virtual uint32_t selectedCount() const = 0;
  virtual bool getSelected(uint32_t i, listbox2::Record*& record, uint32_t& stamp) const = 0;
  virtual void sortSelectionByRow() = 0;
  virtual bool select(listbox2::Record* record, uint32_t stamp) = 0;
  virtual void clearSelection() = 0;
  virtual bool ensureVisible(listbox2::Record* record, uint32_t stamp) = 0;

  // --- Listeners ---------------------------------------------------------------------
  virtual void addListener(ListEvent event, events::IEventListener* listener) = 0;
  virtual void removeListener(ListEvent event, events::IEventListener* listener) = 0;
  void addSelectionListener(events::IEventListener* l) { addListener(kEventSelectionChanged, l); }
  void addDeselectListener(events::IEventListener* l) { addListener(kEventDeselected, l); }
  void addDropFilesListener(events::IEventListener* l) { addListener(kEventDropFiles, l); }
  void addDropOutListener(events::IEventListener* l) { addListener(kEventDroppedOut, l); }
  void addEditListener(events::IEventListener* l) { addListener(kEventEdited, l); }
  void addColumnClickedListener(events::IEventListener* l) { addListener(kEventColumnClicked, l); }
  void addMenuListener(events::IEventListener* l) { addListener(kEventMenu, l); }
  void addKeyListener(events::IEventListener* l) { addListener(kEventKey, l); }
  void addFirstSelectedListener(events::IEventListener* l) { addListener(kEventFirstSelected, l); }
  void addSelectionEmptiedListener(events::IEventListener* l) {
    addListener(kEventSelectionEmptied, l);
  }
  void addDoubleClickListener(events::IEventListener* l) { addListener(kEventDoubleClicked, l); }
  void addCheckListener(events::IEventListener* l) { addListener(kEventChecked, l); }
  void addUncheckListener(events::IEventListener* l) { addListener(kEventUnchecked, l); }
  void addReorderListener(events::IEventListener* l) { addListener(kEventReordered, l); }
  void addSortedListener(events::IEventListener* l) { addListener(kEventSorted, l); }
  // Events 27, 28 and 29.
  void addDragListener(events::IEventListener* l) {
    addListener(kEventDragStarted, l);
    addListener(kEventDragMoved, l);
    addListener(kEventDragEnded, l);
  }
  void addDropListener(events::IEventListener* l) { addListener(kEventDropped, l); }
  void addHotCellListener(events::IEventListener* l) { addListener(kEventHotCell, l); }
  void addColumnClickListener(events::IEventListener* l) { addListener(kEventColumnClick, l); }

  // --- What the events are about (on the list's thread, during the event) ------------
  virtual int32_t getLastClickedColumn() const = 0;
  virtual listbox2::Record* getLastDoubleClickedRecord() const = 0;
  virtual uint32_t getLastKey() const = 0;
  // A key listener keeps the list from acting on the key (event 8).
  virtual void setKeyHandled() = 0;
  virtual listbox2::Record* getHotRecord() const = 0;
  virtual int32_t getHotCell() const = 0;
};

}  // namespace s::gui

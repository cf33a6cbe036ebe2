#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "framework/base/MaybeOwned.h"
#include "framework/base/Pooled.h"
#include "framework/col/Array.h"
#include "framework/col/ArrayP.h"
#include "gui/drawer/IListBox.h"
#include "gui/drawer/listbox/Basic.h"
#include "gui/icons/ImageCacher.h"
#include "gui/layout/BoxBase.h"
#include "gui/layout/Component.h"
#include "gui/layout/Disabler.h"
#include "gui/layout/Enabler.h"
#include "gui/layout/IContainer.h"
#include "gui/layout/IPopupMenu.h"
#include "gui/listbox2/IListBox2.h"
#include "gui/listbox2/IListView.h"
#include "gui/listbox2/List.h"
#include "gui/listbox2/ListFonts.h"
#include "gui/listbox2/ListIconLoader.h"
#include "gui/listbox2/ListKeys.h"
#include "gui/listbox2/ListPointer.h"
#include "gui/listbox2/ListRepaints.h"
#include "gui/listbox2/ListUpdateBatch.h"
#include "gui/listbox2/ListViewOptions.h"
#include "gui/listbox2/ListViewport.h"
#include "gui/listbox2/RowPainter.h"
#include "platform/ui/IUiExecutor.h"

namespace s::gui::win {

class ListHeader;
class ScrollBar;

namespace detail {
class ListBox2Bases : public Component, public IListBox2, public IContainer {};
}  // namespace detail

// The multi-column list control: the model (rows, columns, sort, selection, column order)
// with every record operation carried to the window's thread, and the component that shows
// it. It draws its rows itself into the window's back buffer, only the rows shown and of them
// only those that changed, under a `ListHeader` and beside the scroll bars attached to it (see
// ListBoxEx). Until it is in a window, operations act on the model on the caller's thread.
//
// The user gets what every desktop list gives: a click selects a row, Ctrl+click toggles one,
// Shift+click extends from the anchor; the arrow keys, PgUp, PgDn, Home and End move the
// focused row and bring it into view (Shift extends); Ctrl+A selects all and Ctrl+C copies the
// selected rows to the clipboard as tab-separated lines of their cells.
class ListBox2 final : public Pooled<ListBox2, detail::ListBox2Bases> {
 public:
  static constexpr std::int32_t kMinSize = 25;
  static constexpr std::int32_t kNaturalSize = 50;
  // How far the pointer goes with the button held before rows are dragged.
  static constexpr std::int32_t kDragThreshold = 4;

  ListBox2();
  ~ListBox2() override;
  ListBox2(const ListBox2&) = delete;
  ListBox2& operator=(const ListBox2&) = delete;

  // --- The model's side --------------------------------------------------------------
  // Neither is owned. A list in a window carries its operations to the window's thread by
  // itself; one without (the console's) is given the thread that owns it. A view replaces the
  // list's own drawing (tests); none gives it back.
  void setExecutor(platform::ui::IUiExecutor* executor) { executor_ = executor; }
  void setView(listbox2::IListView* view) { view_ = view != nullptr ? view : &repaints_; }
  listbox2::List& list() { return list_; }
  const listbox2::List& list() const { return list_; }
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
  // Takes the record over: it goes back to its pool when removed and released or with the
  // list, and at once when refused.
  bool appendRecord(PoolPtr<listbox2::Record> record);
  bool insertRecord(uint32_t position, listbox2::Record* record) override;
  bool removeRecord(listbox2::Record* record, uint32_t stamp) override;
  bool removeAndRelease(listbox2::Record* record, uint32_t stamp) override;
  void removeAll() override;
  void removeAllAndRelease() override;
  bool setValue(listbox2::Record* record, uint32_t stamp, uint32_t column,
                listbox2::CellValue value) override;
  void giveValue(listbox2::Record* record, uint32_t stamp, uint32_t column,
                 listbox2::CellValue value, IDestructor<void>* owner) override;
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
  int32_t getLastClickedColumn() const override { return lastClickedColumn_; }
  listbox2::Record* getLastDoubleClickedRecord() const override { return lastDoubleClicked_; }
  uint32_t getLastKey() const override { return lastKey_; }
  void setKeyHandled() override { keyHandled_ = true; }
  listbox2::Record* getHotRecord() const override { return hotRecord_; }
  int32_t getHotCell() const override { return hotCell_; }

  // --- How it shows the rows (each applies at once, on the window's thread) ----------
  const listbox2::ListViewOptions& options() const { return options_; }
  void setViewIcons() { setViewMode(listbox2::ViewMode::kIcons); }
  void setViewList() { setViewMode(listbox2::ViewMode::kList); }
  void setViewReport() { setViewMode(listbox2::ViewMode::kReport); }
  void setMultiSelect(bool on);
  void setHeaderVisible(bool on);
  void setCheckBoxColumn(bool on);
  void setFullRowSelect(bool on);
  void setGridLines(bool on);
  // Files dropped on the list go to its event 3 (see getDroppedFiles).
  void setAcceptFiles(bool on);
  void setAcceptExplorerDrops(bool on);
  void setDragRows(bool on);
  // Rows dragged out to other programs as files: not offered (there is no drag source to other
  // programs); the option is kept.
  void setDragOut(bool on);
  // Also turns on dragRows: the list takes its own rows.
  void setDragReorder(bool on);
  void setStriped(bool on);
  void setStripeColour(uint8_t red, uint8_t green, uint8_t blue);
  void setInsertMarkColour(uint8_t red, uint8_t green, uint8_t blue);
  void setEmptyAreaTransparent(bool on);
  void setHideNativeScrollBars(bool on);
  void setBorder(bool on);
  void setRowHeight(int32_t px);
  // A drawer of the caller's (owned: released with the list) instead of the skin's.
  void setDrawer(drawer::IListBox* drawer, bool owned);
  // The menu of a right click; not owned. None: no menu.
  void setPopupMenu(IPopupMenu* menu);
  IPopupMenu* getPopupMenu() const { return popupMenu_; }
  // The bars that scroll the list (not owned; either may be none). They are shown only while
  // needed, and the list's container is laid out again when that changes.
  void setScrollBars(ScrollBar* vertical, ScrollBar* horizontal);
  ScrollBar* getVerticalScrollBar() const { return vBar_; }
  ScrollBar* getHorizontalScrollBar() const { return hBar_; }
  ListHeader* getHeader() const { return header_; }

  // Font operations: on the normal font; the others follow its face and size.
  void setFontFace(std::u16string_view name);
  void setFontSizeCode(int32_t code);
  void setFontHeight(int32_t height);
  void setFontWidth(int32_t width);
  void setFontWeight(int32_t weight);
  void setFontColour(uint8_t red, uint8_t green, uint8_t blue);
  const listbox2::ListFonts& fonts() const { return fonts_; }

  // Enabled while rows are selected (events 20 and 21), not owned.
  void enableOnSelection(IComponent* component);
  void disableOnEmptySelection(IComponent* component);
  // Where dragged rows may be dropped besides the list itself: a release over it sends event 4
  // (getDropTarget() tells which). Not owned.
  void addDropTarget(IComponent* target);
  IComponent* getDropTarget() const { return dropTarget_; }
  // The files of event 3, during the event.
  const std::vector<std::u16string>& getDroppedFiles() const { return droppedFiles_; }

  // Width and height as percentages of the parent's inner size (-1: not set).
  void setSizePercent(int32_t widthPercent, int32_t heightPercent);

  // --- The view's state (on the window's thread) -------------------------------------
  // The row height in pixels: the one set, or more when the font needs it.
  int32_t rowHeight() const;
  listbox2::ListViewport viewport() const;
  uint32_t topRow() const { return topRow_; }
  int32_t scrollX() const { return scrollX_; }
  // Scrolls so that `row` is the first shown (as far as the rows go).
  void scrollToRow(uint32_t row);
  // Scrolls by pixels; vertically by whole rows (towards zero, at least one).
  void scrollBy(int32_t dx, int32_t dy);
  // The focused row (drawn with a dotted frame while the list has the keyboard); null for none.
  listbox2::Record* focusedRecord() const;
  // The screen column at x (a display position), -1 for none; and the column shown there.
  int32_t displayPositionAt(int32_t x) const;
  int32_t columnAt(int32_t x) const;
  // The rectangle of a cell (column index) in a row, in the list's pixels; the first column
  // starts at the header item's left edge, the last one shown reaches the right edge.
  platform::ui::Rect cellRect(uint32_t row, uint32_t column) const;
  int32_t columnWidth(uint32_t column) const;
  // The wheel lines of the desktop (3 where it has no setting we can read).
  static int32_t wheelLines();
  // The pixels a notch scrolls: up (away from the user, notches > 0) n x 15, down n x 15 but at
  // least 1.4 rows.
  static int32_t wheelPixels(int32_t notches, int32_t lines, int32_t rowHeight);
  // The selected rows, in row order, as tab-separated lines of their cells in column order.
  std::string selectedRowsText();
  // Puts selectedRowsText() on the clipboard; false when there is nothing to copy or the
  // window system refused.
  bool copySelection();
  // The icon cache the painter reads (the cells' icon sources), and its loader.
  image::util::ImageCacher& icons() { return *icons_; }
  listbox2::ListIconLoader& iconLoader() { return iconLoader_; }

  // --- The component ------------------------------------------------------------------
  std::int32_t getInsetLeft() const override { return 0; }
  std::int32_t getInsetRight() const override { return 0; }
  std::int32_t getInsetTop() const override { return 0; }
  std::int32_t getInsetBottom() const override { return 0; }
  void relayout() override;
  void paint(cairo_t* cr) override;
  bool handleInput(const platform::ui::Event& event, std::int32_t x, std::int32_t y) override;
  bool handleKey(const platform::ui::Event& event) override;
  bool isFocusable() const override { return isVisible() && isEnabled(); }
  platform::ui::PointerShape cursorAt(std::int32_t x, std::int32_t y) const override;
  void captureLost() override;
  // Gives back the children but the header, which is the list's own through all its uses: a
  // box given back with the list inside must not hand the header to another list.
  void removeAll(bool recurse) override;
  // The column titles are read again from their localizers, on the window's thread (a list
  // without a window: on its owner's).
  void languageChanged() override;

  void reset() override;
  std::u16string_view className() const override { return u"s_gui_win_ListBox2"; }

 protected:
  void applyBounds() override;
  void createPlatform(IWindow* window, WindowHost* host) override;
  void destroyPlatform() override;

 private:
  friend class listbox2::ListRepaints;
  friend class listbox2::ListPointer;
  friend class listbox2::ListKeys;
  friend class ListHeader;
  friend class ListBoxEx;

  // Runs the operation on the window's thread, or here without a window; an update kept for
  // that thread goes first.
  template <class Operation>
  void carry(Operation& operation) {
    if (executor_ == nullptr) {
      operation();
      return;
    }
    if (batch_.isOpenHere() && !batch_.empty()) {
      auto both = [&] {
        applyBatch();
        operation();
      };
      runOrDiscard(both);
      return;
    }
    executor_->runSync(operation);
  }
  template <class Operation>
  void runOrDiscard(Operation& operation) {
    if (!executor_->runSync(operation)) {
      // The window's thread has ended: what was kept for it goes.
      batch_.discard();
    }
  }
  // Keeps the operation for the update's hand-over when one is open on this thread.
  bool keep(const listbox2::ListUpdateBatch::Entry& entry);
  // On the window's thread: the kept operations, in order.
  void applyBatch();
  bool setValueNow(listbox2::Record* record, uint32_t stamp, uint32_t column,
                   listbox2::CellValue value);
  bool appendNow(listbox2::Record* record);
  bool insertNow(uint32_t position, listbox2::Record* record);
  void refreshColumnNow(uint32_t column);

  void send(ListEvent event);
  uint32_t insertShown(uint32_t position, listbox2::Record* record);
  bool removeShown(listbox2::Record* record, uint32_t stamp);
  void collapse(listbox2::Record* record);
  void sortRows();
  void dropFromSelection(listbox2::Record* record);

  // View work, on the window's thread.
  void attachHeader();
  void detachHeader();
  void resetView();
  // After rows came or went: the bars follow, unless an update is open.
  void rowsChanged();
  drawer::IListBox* listDrawer();
  void setViewMode(listbox2::ViewMode mode);
  // Applies an option and repaints.
  template <class Change>
  void changeOption(Change change);
  void fontChanged();
  void placeHeader();
  void retitleColumns();
  // The scroll bars' figures from the view; shows or hides them and lays the container out
  // again when that changes.
  void updateScrollBars();
  void onEvent(IObject* source, std::int32_t code) override;
  void invalidateArea(const platform::ui::Rect& area);
  void invalidateRow(const listbox2::Record& record);
  void invalidateRowsFrom(uint32_t row);
  void invalidateRows();
  void invalidateColumn(uint32_t column);
  void setTopRow(uint32_t row);
  void setScrollX(int32_t x);
  // The view's selection gestures: each changes the selection row by row, as the model does.
  void setRowSelection(listbox2::Record& record, bool selected);
  void selectOnly(listbox2::Record& record);
  void selectRange(uint32_t from, uint32_t to, bool keepOthers);
  void selectAll();
  void deselectAll();
  void setFocusRow(listbox2::Record* record, bool anchor);
  listbox2::Record* anchorRecord() const;
  // The header tells of the user's changes.
  void headerClicked(uint32_t column);
  void columnResized();
  void columnsMoved(const col::ArrayS32& order);
  // Files dropped on the list's container: events 3 and 30 as the list takes them.
  void filesDropped(const std::vector<std::u16string>& files);
  // The container takes drops while the list takes files.
  void takeDrops();
  // Icons that finished loading in the background are painted.
  void watchIconLoads();
  void paintRows(cairo_t* cr, const platform::ui::Rect& clip);
  // What the row painter needs, as the list stands.
  listbox2::RowPaintContext rowContext();

  listbox2::List list_;
  col::ArrayS32 displayOrder_;
  col::ArrayP<listbox2::Record> selectedRecords_;
  col::ArrayU32 selectedStamps_;
  col::ArrayP<events::IEventListener> listeners_;
  col::ArrayS32 listenerCodes_;
  bool autoSort_ = false;
  bool updating_ = false;
  // Something changed between beginUpdate and endUpdate: endUpdate draws it.
  bool changedInUpdate_ = false;
  listbox2::ListUpdateBatch batch_;
  platform::ui::IUiExecutor* executor_ = nullptr;
  listbox2::ListRepaints repaints_{*this};
  listbox2::IListView* view_ = &repaints_;

  listbox2::ListViewOptions options_;
  listbox2::ListFonts fonts_;
  MaybeOwned<drawer::IListBox> drawer_;
  // Held by value, not taken from its pool, which may go first at exit.
  drawer::listbox::win::Basic basic_;
  IPopupMenu* popupMenu_ = nullptr;
  ScrollBar* vBar_ = nullptr;
  ScrollBar* hBar_ = nullptr;
  ListHeader* header_ = nullptr;
  uint32_t topRow_ = 0;
  int32_t scrollX_ = 0;
  // The normal font's line, measured when the font changes.
  int32_t fontHeight_ = 0;
  bool updatingBars_ = false;
  // The one column that the list and icon views show, at the full width.
  col::ArrayS32 singleOrder_;
  col::ArrayS32 singleWidths_;
  listbox2::Record* focus_ = nullptr;
  uint32_t focusStamp_ = 0;
  listbox2::Record* anchor_ = nullptr;
  uint32_t anchorStamp_ = 0;
  listbox2::Record* hotRecord_ = nullptr;
  int32_t hotCell_ = -1;
  int32_t lastClickedColumn_ = -1;
  listbox2::Record* lastDoubleClicked_ = nullptr;
  uint32_t lastKey_ = 0;
  bool keyHandled_ = false;
  PoolPtr<events::Enabler> enabler_;
  PoolPtr<events::Disabler> disabler_;
  std::vector<IComponent*> dropTargets_;
  IComponent* dropTarget_ = nullptr;
  std::vector<std::u16string> droppedFiles_;
  // The container that takes files dropped on the list from other programs (its ListBoxEx).
  BoxBase* dropBox_ = nullptr;
  // Made with the list object and kept through its uses from the pool.
  PoolPtr<image::util::ImageCacher> icons_;
  listbox2::ListIconLoader iconLoader_;
  std::uint64_t iconLoadsSeen_ = 0;
  bool watchingIconLoads_ = false;
  listbox2::ListPointer pointer_{*this};
  listbox2::ListKeys keys_{*this};
};

}  // namespace s::gui::win

#include <set>

#include "tests/gui/listbox2/ViewFixture.h"

namespace listbox2_test {
namespace {

enum Key : uint32_t {
  kHome = 0xFF50,
  kUp = 0xFF52,
  kDown = 0xFF54,
  kPageUp = 0xFF55,
  kPageDown = 0xFF56,
  kEnd = 0xFF57,
};

// Stands for the pop-up menu: answers `command` and tells what happened.
class MenuDouble final : public s::gui::IPopupMenu {
 public:
  std::int32_t track(int x, int y, s::gui::IWindow& /*owner*/) override {
    ++tracked;
    trackedAt = {x, y};
    return command;
  }
  std::int32_t trackBottomAligned(int x, int y, s::gui::IWindow& owner) override {
    return track(x, y, owner);
  }
  bool containsCommand(std::int32_t id) const override { return id == 810; }
  void dispatch(std::int32_t id) override { dispatched.push_back(id); }
  void onEvent(s::IObject* /*source*/, std::int32_t /*code*/) override {}

  int tracked = 0;
  std::pair<int, int> trackedAt;
  std::int32_t command = -1;
  std::vector<std::int32_t> dispatched;
};

TEST_F(ViewTest, AWheelNotchScrollsThreeLinesUpAndAtLeastOneAndAHalfRowsDown) {
  struct Case {
    int32_t notches;
    int32_t lines;
    int32_t rowHeight;
    int32_t pixels;
  };
  const Case cases[] = {
      {1, 3, 15, 45},   {-1, 3, 15, -45}, {2, 3, 15, 90},
      {1, 3, 40, 45},   {-1, 3, 40, -56},  // 1.4 rows
      {-1, 3, 32, -45},                    // 44.8 is less
      {-1, 3, 33, -46},                    // 46.2, truncated
      {-1, 5, 15, -75},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ListBox2::wheelPixels(c.notches, c.lines, c.rowHeight), c.pixels)
        << c.notches << " notches, " << c.lines << " lines, rows of " << c.rowHeight;
  }
  // The desktop here has no setting: three lines.
  EXPECT_EQ(ListBox2::wheelLines(), 3);

  open(40);
  wheel(50, 60, -1);
  EXPECT_EQ(list_->topRow(), 3U);
  wheel(50, 60, -2);
  EXPECT_EQ(list_->topRow(), 9U);
  wheel(50, 60, 1);
  EXPECT_EQ(list_->topRow(), 6U);
  // Tall rows: 56 pixels down is one row, and so is 45 up.
  list_->setRowHeight(40);
  list_->scrollToRow(0);
  wheel(50, 60, -1);
  EXPECT_EQ(list_->topRow(), 1U);
  wheel(50, 60, 1);
  EXPECT_EQ(list_->topRow(), 0U);
  // Outside the list the wheel is not the list's.
  wheel(-5, 60, -1);
  EXPECT_EQ(list_->topRow(), 0U);
}

TEST_F(ViewTest, ClicksAndKeysSelectAsOnEveryDesktop) {
  open(40);
  uint32_t page = 0;
  onUi([&] { page = list_->viewport().fullRows() - 1; });
  ASSERT_GT(page, 2U);
  struct Step {
    const char* what;
    std::function<void()> act;
    std::set<uint32_t> selected;
    uint32_t focused;
  };
  auto rowClick = [&](uint32_t row, uint32_t modifiers = 0) {
    return [this, row, modifiers] { click(20, rowY(row), modifiers); };
  };
  const Step steps[] = {
      {"click", rowClick(2), {2}, 2},
      {"ctrl+click adds", rowClick(5, modifier::kControl), {2, 5}, 5},
      {"ctrl+click removes", rowClick(2, modifier::kControl), {5}, 2},
      {"shift+click extends from the anchor",
       rowClick(8, modifier::kShift),
       {2, 3, 4, 5, 6, 7, 8},
       8},
      {"shift+click again replaces the range", rowClick(4, modifier::kShift), {2, 3, 4}, 4},
      {"ctrl+shift+click adds a range",
       rowClick(9, modifier::kShift | modifier::kControl),
       {2, 3, 4, 5, 6, 7, 8, 9},
       9},
      {"click", rowClick(3), {3}, 3},
      {"down", [&] { key(kDown); }, {4}, 4},
      {"shift+down twice",
       [&] {
         key(kDown, modifier::kShift);
         key(kDown, modifier::kShift);
       },
       {4, 5, 6},
       6},
      {"shift+up", [&] { key(kUp, modifier::kShift); }, {4, 5}, 5},
      {"ctrl+down moves only the focus", [&] { key(kDown, modifier::kControl); }, {4, 5}, 6},
      {"ctrl+space toggles the focused row", [&] { key(0x20, modifier::kControl); }, {4, 5, 6}, 6},
      {"home", [&] { key(kHome); }, {0}, 0},
      // To the last whole row shown (a page is the rows that fit, less one).
      {"page down", [&] { key(kPageDown); }, {page}, page},
      {"page up", [&] { key(kPageUp); }, {0}, 0},
      {"ctrl+a", [&] { key('a', modifier::kControl); }, {}, 0},
      {"end", [&] { key(kEnd); }, {39}, 39},
  };
  std::set<uint32_t> all;
  for (uint32_t i = 0; i < 40; ++i) {
    all.insert(i);
  }
  for (const Step& step : steps) {
    step.act();
    const std::vector<uint32_t> got = selectedTags();
    EXPECT_EQ(std::set<uint32_t>(got.begin(), got.end()),
              step.selected.empty() ? all : step.selected)
        << step.what;
    Record* focused = nullptr;
    onUi([&] { focused = list_->focusedRecord(); });
    ASSERT_NE(focused, nullptr) << step.what;
    EXPECT_EQ(tagOf(focused), step.focused) << step.what;
  }
  // End brought the last row into view: it is the last whole row shown.
  onUi([&] {
    const auto v = list_->viewport();
    EXPECT_EQ(v.topRow + v.fullRows() - 1, 39U);
  });
}

TEST_F(ViewTest, AKeyListenerCanKeepAKeyFromTheList) {
  open(10);
  click(20, rowY(1));
  struct Handler final : s::gui::events::IEventListener {
    ListBox2* list;
    uint32_t key = 0;
    void onEvent(s::IObject* /*source*/, int32_t /*code*/) override {
      key = list->getLastKey();
      list->setKeyHandled();
    }
  } handler;
  handler.list = list_;
  list_->addKeyListener(&handler);
  key(kDown);
  EXPECT_EQ(handler.key, kDown);
  EXPECT_EQ(selectedTags(), std::vector<uint32_t>{1});
  list_->removeListener(s::gui::kEventKey, &handler);
  key(kDown);
  EXPECT_EQ(selectedTags(), std::vector<uint32_t>{2});
}

TEST_F(ViewTest, ARightClickOpensTheMenuOnlyForSelectedRows) {
  open(3);
  MenuDouble menu;
  list_->setPopupMenu(&menu);
  Codes events;
  list_->addMenuListener(&events);
  Codes window;
  window_->addListener(s::gui::kWindowRightPress, &window);
  // Below the rows, nothing selected: no menu, no event 7, and the window has the press.
  click(20, 150, 0, 3);
  EXPECT_EQ(menu.tracked, 0);
  EXPECT_TRUE(events.codes.empty());
  EXPECT_EQ(window.codes.size(), 1U);
  // On a row: it is selected, then event 7, then the menu; its choice goes to it.
  menu.command = 810;
  click(20, rowY(1), 0, 3);
  EXPECT_EQ(selectedTags(), std::vector<uint32_t>{1});
  EXPECT_EQ(events.codes, std::vector<int32_t>{7});
  EXPECT_EQ(menu.tracked, 1);
  EXPECT_EQ(menu.dispatched, std::vector<int32_t>{810});
  // A command the menu does not have is not dispatched.
  menu.command = 999;
  click(20, rowY(1), 0, 3);
  EXPECT_EQ(menu.tracked, 2);
  EXPECT_EQ(menu.dispatched, std::vector<int32_t>{810});
  EXPECT_EQ(window.codes.size(), 1U);
}

TEST_F(ViewTest, APressBelowTheRowsDeselectsAndPassesThroughWhenTransparent) {
  struct Case {
    bool transparent;
    size_t windowPresses;
  };
  for (const Case c : {Case{false, 0}, Case{true, 1}}) {
    open(3);
    list_->setEmptyAreaTransparent(c.transparent);
    click(20, rowY(0));
    click(20, rowY(2), modifier::kControl);
    Codes events;
    events.codes.clear();
    for (s::gui::ListEvent code : {s::gui::kEventDeselected, s::gui::kEventSelectionEmptied}) {
      list_->addListener(code, &events);
    }
    Codes window;
    window_->addListener(s::gui::kWindowLeftPress, &window);
    click(20, 150);
    EXPECT_TRUE(selectedTags().empty()) << c.transparent;
    // Last selected first.
    EXPECT_EQ(events.codes, (std::vector<int32_t>{2, 2, 21})) << c.transparent;
    EXPECT_EQ(window.codes.size(), c.windowPresses) << c.transparent;
  }
}

TEST_F(ViewTest, TheMiddleButtonGoesThroughTheList) {
  open(3);
  click(20, rowY(1));
  Codes window;
  window_->addListener(s::gui::kWindowMiddlePress, &window);
  click(20, rowY(0), 0, 2);
  EXPECT_EQ(window.codes.size(), 1U);
  EXPECT_EQ(selectedTags(), std::vector<uint32_t>{1});
}

TEST_F(ViewTest, ADoubleClickNamesItsRow) {
  open(5);
  Codes events;
  list_->addDoubleClickListener(&events);
  send(EventKind::kButtonPress, 20, rowY(3), 1, 0, 1000);
  send(EventKind::kButtonRelease, 20, rowY(3), 1, 0, 1010);
  send(EventKind::kButtonPress, 21, rowY(3), 1, 0, 1200);
  send(EventKind::kButtonRelease, 21, rowY(3), 1, 0, 1210);
  EXPECT_EQ(events.codes, std::vector<int32_t>{22});
  EXPECT_EQ(tagOf(list_->getLastDoubleClickedRecord()), 3U);
  // Too slow: two clicks.
  send(EventKind::kButtonPress, 20, rowY(2), 1, 0, 3000);
  send(EventKind::kButtonPress, 20, rowY(2), 1, 0, 3600);
  EXPECT_EQ(events.codes.size(), 1U);
}

TEST_F(ViewTest, CtrlCCopiesTheSelectedRowsAsTabSeparatedCellsInColumnOrder) {
  open(5);
  s::PoolPtr<s::col::ArrayS32> order = s::col::ArrayS32::make();
  for (int32_t column : {3, 0, 1, 2}) {
    order->push(column);
  }
  ASSERT_TRUE(list_->setColumnOrder(*order));
  list_->setValue(list_->getRecord(3), list_->getRecord(3)->stamp(), kName,
                  lb::textValue(u"tab\there"));
  click(20, rowY(3));
  click(20, rowY(1), modifier::kControl);
  key('c', modifier::kControl);
  std::string copied;
  onUi([&] { copied = screen().clipboardText(); });
  // In row order, whatever order they were picked in; a tab in a cell would split it.
  EXPECT_EQ(copied,
            "1\trow 1\t1\t1000 B\n"
            "3\ttab\xEF\xBF\xBDhere\t3\t2.92 KB\n");
}

TEST_F(ViewTest, CheckBoxesAndHotAreasOfCells) {
  window_ = Window::make();
  window_->setBounds(0, 0, 300, 120);
  box_ = ListBoxEx::newListBoxEx(100, 100);
  list_ = box_->getList();
  list_->addColumn(u"Check", 120, lb::kAlignLeft, false, nullptr, true, false, true, false, false);
  Record* record = lb::newRecord(1, nullptr).release();
  s::PoolPtr<lb::SubRecord> made =
      lb::newCell(lb::textValue(u"link"), lb::textValueOwner(), lb::showText);
  lb::SubRecord* cell = made.get();
  cell->setCheckState(lb::kUnchecked);
  cell->setHotArea(true);
  lb::appendCell(record, std::move(made));
  list_->appendRecord(record);
  window_->add(box_);
  window_->show(false);
  settle();
  Codes events;
  for (s::gui::ListEvent code :
       {s::gui::kEventChecked, s::gui::kEventUnchecked, s::gui::kEventHotCell}) {
    list_->addListener(code, &events);
  }
  // The check box is 4 to 19 from the cell's left; the text (the hot area) follows.
  click(10, rowY(0));
  EXPECT_EQ(cell->checkState(), lb::kChecked);
  click(10, rowY(0));
  EXPECT_EQ(cell->checkState(), lb::kUnchecked);
  EXPECT_TRUE(selectedTags().empty());
  click(30, rowY(0));
  EXPECT_EQ(events.codes, (std::vector<int32_t>{23, 24, 31}));
  EXPECT_EQ(list_->getHotRecord(), record);
  EXPECT_EQ(list_->getHotCell(), 0);
}

TEST_F(ViewTest, DraggedRowsMoveWhereTheLineShows) {
  open(6);
  list_->setDragReorder(true);
  Codes events;
  list_->addReorderListener(&events);
  click(20, rowY(0));
  click(20, rowY(1), modifier::kControl);
  // Rows 0 and 1 dragged to between rows 4 and 5.
  send(EventKind::kButtonPress, 20, rowY(1));
  send(EventKind::kMotion, 20, rowY(3));
  int32_t lineY = 0;
  int32_t lineHeight = 0;
  onUi([&] {
    auto v = list_->viewport();
    EXPECT_TRUE(list_->options().dragRows);
    EXPECT_EQ(list_->cursorAt(0, 0), s::platform::ui::PointerShape::kHand);
    lineY = v.rowTop(5);
    lineHeight = v.rowHeight;
  });
  send(EventKind::kMotion, 20, lineY + 2);
  (void)lineHeight;
  send(EventKind::kButtonRelease, 20, lineY + 2);
  EXPECT_EQ(tags(*list_), (std::vector<uint32_t>{2, 3, 4, 0, 1, 5}));
  EXPECT_EQ(events.codes, std::vector<int32_t>{25});
  // Still selected, after the move.
  EXPECT_EQ(selectedTags(), (std::vector<uint32_t>{0, 1}));
}

TEST_F(ViewTest, TheBarsShowOnlyWhileNeededAndScrollTheRows) {
  open(3);
  ScrollBar* vertical = box_->getVerticalScrollBar();
  ScrollBar* horizontal = box_->getHorizontalScrollBar();
  auto shown = [&](ScrollBar* bar) {
    bool on = false;
    onUi([&] { on = bar->wantsVisible() && bar->getWidth() > 0 && bar->getHeight() > 0; });
    return on;
  };
  EXPECT_FALSE(shown(vertical));
  EXPECT_FALSE(shown(horizontal));
  EXPECT_EQ(list_->getWidth(), 320);
  for (uint32_t i = 3; i < 40; ++i) {
    list_->appendRecord(makeRow(u"more", i, 0, i));
  }
  settle();
  ASSERT_TRUE(shown(vertical));
  EXPECT_EQ(list_->getWidth(), 320 - ScrollBar::kThickness);
  // The figures: a page of rows, the whole in rows plus what is left of the page.
  uint32_t fullRows = 0;
  onUi([&] {
    const auto v = list_->viewport();
    fullRows = v.fullRows();
    EXPECT_EQ(vertical->info().page, v.page());
    EXPECT_EQ(vertical->info().total, 40 * v.rowHeight + v.page() % v.rowHeight);
    EXPECT_EQ(vertical->info().line, v.rowHeight);
  });
  // A press on the track below the thumb: a page of whole rows on.
  Rect bar;
  onUi([&] { bar = vertical->clientBounds(); });
  auto press = [&](int32_t y, EventKind kind) {
    Event e;
    e.kind = kind;
    e.window = window_->platformWindow();
    e.x = e.rootX = bar.x + 8;
    e.y = e.rootY = bar.y + y;
    e.button = 1;
    screen().inject(e);
    settle();
  };
  press(bar.height - 30, EventKind::kButtonPress);
  press(bar.height - 30, EventKind::kButtonRelease);
  EXPECT_EQ(list_->topRow(), fullRows);
  EXPECT_EQ(vertical->info().position, static_cast<int32_t>(fullRows) * list_->rowHeight());
  // The thumb dragged to the end shows the last row whole at the bottom.
  int32_t thumb = 0;
  onUi([&] {
    const auto g = vertical->geometry();
    thumb = g.thickness + g.thumbOffset + g.thumbLength / 2;
  });
  press(thumb, EventKind::kButtonPress);
  press(thumb + 500, EventKind::kMotion);
  press(thumb + 500, EventKind::kButtonRelease);
  onUi([&] { EXPECT_EQ(list_->topRow(), list_->viewport().maxTopRow()); });
  EXPECT_EQ(list_->topRow(), 40 - fullRows);
  // Columns wider than the list bring the horizontal bar, which scrolls them.
  send(EventKind::kButtonPress, 90, 5);
  send(EventKind::kMotion, 300, 5);
  send(EventKind::kButtonRelease, 300, 5);
  ASSERT_TRUE(shown(horizontal));
  onUi([&] { EXPECT_EQ(horizontal->info().total, 270 + 210); });
  horizontal->scrollTo(100);
  settle();
  EXPECT_EQ(list_->scrollX(), 100);
  Rect cell;
  onUi([&] { cell = list_->cellRect(0, 1); });
  EXPECT_EQ(cell.x, 300 - 100);
}

TEST_F(ViewTest, GivenBackToItsPoolTheListForgetsItsOptionsAndListeners) {
  s::PoolPtr<ListBox2> list = ListBox2::make();
  addTestColumns(*list);
  list->setStriped(true);
  list->setFullRowSelect(true);
  list->setRowHeight(30);
  list->setFontSizeCode(4);
  Codes events;
  list->addSelectionListener(&events);
  MenuDouble menu;
  list->setPopupMenu(&menu);
  ListBox2* raw = list.get();
  list.reset();
  s::PoolPtr<ListBox2> again = ListBox2::make();
  ASSERT_EQ(again.get(), raw);
  const lb::ListViewOptions defaults;
  EXPECT_EQ(again->options().striped, defaults.striped);
  EXPECT_EQ(again->options().fullRowSelect, defaults.fullRowSelect);
  EXPECT_EQ(again->options().rowHeight, 15);
  EXPECT_EQ(again->fonts().normal().getSizeCode(), -2);
  EXPECT_EQ(again->getPopupMenu(), nullptr);
  EXPECT_EQ(again->columnCount(), 0U);
  ASSERT_NE(again->getHeader(), nullptr);
  EXPECT_TRUE(again->getHeader()->order().empty());
  addTestColumns(*again);
  Record* record = makeRow(u"a", 1, 1, 0);
  again->appendRecord(record);
  again->select(record, record->stamp());
  EXPECT_TRUE(events.codes.empty());
}

}  // namespace
}  // namespace listbox2_test

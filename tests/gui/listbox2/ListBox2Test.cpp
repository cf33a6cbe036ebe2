#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "gui/listbox2/ListBoxEx.h"
#include "gui/listbox2/ListHeader.h"
#include "tests/gui/listbox2/Fixture.h"

namespace {

using namespace listbox2_test;
using s::PoolPtr;

class ListBox2Test : public ::testing::Test {
 protected:
  void SetUp() override {
    addTestColumns(*list);
    events.listenTo(*list);
  }
  // Appends rows (name, pid, bytes) tagged 0, 1, 2, ... and answers them.
  struct Row {
    std::u16string_view name;
    uint32_t pid;
    int64_t bytes;
  };
  std::vector<Record*> fill(std::initializer_list<Row> rows) {
    std::vector<Record*> out;
    for (const Row& row : rows) {
      Record* record = makeRow(row.name, row.pid, row.bytes, static_cast<uint32_t>(out.size()));
      EXPECT_TRUE(list->appendRecord(record));
      out.push_back(record);
    }
    return out;
  }
  std::vector<uint32_t> keys() const {
    const auto& k = list->list().sortKeys();
    return {k.begin(), k.end()};
  }

  PoolPtr<ListBox2> list = ListBox2::make();
  EventLog events;
};

TEST_F(ListBox2Test, RecordsEqualInEveryKeyKeepTheirOrder) {
  fill({{u"b", 2, 0},
        {u"a", 1, 0},
        {u"B", 1, 0},
        {u"a", 2, 0},
        {u"A", 1, 0},
        {u"b", 1, 0},
        {u"a", 1, 0},
        {u"c", 0, 0},
        {u"b", 2, 0}});
  list->sort();
  // Name (case-blind), then pid; equal rows in their appended order.
  EXPECT_EQ(tags(*list), (std::vector<uint32_t>{1, 4, 6, 3, 2, 5, 0, 8, 7}));
  // Sorting again changes nothing.
  list->sort();
  EXPECT_EQ(tags(*list), (std::vector<uint32_t>{1, 4, 6, 3, 2, 5, 0, 8, 7}));
}

TEST_F(ListBox2Test, LongRunsSortStablyByTwoKeys) {
  // Enough rows for the merge steps; pid is primary, the byte count secondary.
  list->sortByColumn(kBytes);
  list->sortByColumn(kBytes);
  list->sortByColumn(kPid);
  list->sortByColumn(kPid);
  for (uint32_t i = 0; i < 300; ++i) {
    list->appendRecord(makeRow(u"x", (i * 7919) % 5, (i * 31) % 3, i));
  }
  list->sort();
  std::vector<uint32_t> got = tags(*list);
  for (uint32_t row = 1; row < got.size(); ++row) {
    uint32_t a = got[row - 1], b = got[row];
    auto key = [](uint32_t t) { return std::pair((t * 7919) % 5, (t * 31) % 3); };
    ASSERT_TRUE(key(a) < key(b) || (key(a) == key(b) && a < b)) << "rows " << row;
  }
}

TEST_F(ListBox2Test, SortByColumnTwiceMakesItPrimaryInItsDirection) {
  EXPECT_EQ(keys(), (std::vector<uint32_t>{0, 1, 2, 3}));
  list->sortByColumn(2);
  list->sortByColumn(2);
  list->sortByColumn(0);
  list->sortByColumn(0);
  EXPECT_EQ(keys(), (std::vector<uint32_t>{0, 2, 1, 3}));
  for (uint32_t c = 0; c < list->columnCount(); ++c) {
    EXPECT_TRUE(list->getColumn(c)->ascending()) << c;
  }
  // An index that is no column changes nothing.
  list->sortByColumn(9);
  EXPECT_EQ(keys(), (std::vector<uint32_t>{0, 2, 1, 3}));
}

TEST_F(ListBox2Test, HeaderClicksToggleTheDirection) {
  fill({{u"a", 3, 0}, {u"b", 1, 0}, {u"c", 2, 0}});
  struct Click {
    uint32_t column;
    std::vector<uint32_t> order;
  };
  const Click clicks[] = {
      {kPid, {0, 2, 1}},  // one click: descending
      {kPid, {1, 2, 0}},  // ascending again
      {kName, {2, 1, 0}}, {kName, {0, 1, 2}},
      {kTag, {0, 1, 2}},  // not sortable: the next key decides
  };
  for (const Click& click : clicks) {
    list->sortByColumn(click.column);
    list->sort();
    EXPECT_EQ(tags(*list), click.order) << "column " << click.column;
  }
}

TEST_F(ListBox2Test, DescendingComparatorListsTheLargestFirstUntilClicked) {
  PoolPtr<ListBox2> log = ListBox2::make();
  log->addColumn(u"End", 100, lb::kAlignLeft, true, lb::compareInt64Descending, true, false, false,
                 false, false);
  log->addColumn(u"Tag", 40, lb::kAlignLeft, false, nullptr, true, false, false, false, false);
  const int64_t ends[] = {1000, 1LL << 40, -5, 70000};
  for (uint32_t i = 0; i < 4; ++i) {
    Record* record = lb::newRecord(2, nullptr).release();
    lb::appendCell(record, lb::newCell(lb::int64Value(ends[i]), lb::int64ValueOwner(), nullptr));
    lb::appendCell(record, lb::newCell(i, nullptr, nullptr));
    log->appendRecord(record);
  }
  auto order = [&] {
    std::vector<uint32_t> out;
    for (uint32_t row = 0; row < log->recordCount(); ++row) {
      out.push_back(static_cast<uint32_t>(log->getRecord(row)->cell(1)->value()));
    }
    return out;
  };
  log->sort();
  EXPECT_TRUE(log->getColumn(0)->ascending());
  EXPECT_EQ(order(), (std::vector<uint32_t>{1, 3, 0, 2}));
  log->sortByColumn(0);
  log->sort();
  EXPECT_EQ(order(), (std::vector<uint32_t>{2, 0, 3, 1}));
}

TEST_F(ListBox2Test, AutoSortPlacesAnAppendedRecordAtItsPosition) {
  fill({{u"a", 1, 0}, {u"c", 3, 0}});
  list->setAutoSort(true);
  list->appendRecord(makeRow(u"b", 2, 0, 7));
  EXPECT_EQ(tags(*list), (std::vector<uint32_t>{0, 7, 1}));
  EXPECT_EQ(events.codes, (std::vector<int32_t>{26}));
}

TEST_F(ListBox2Test, SelectionStaysOnItsRecordsAcrossASort) {
  auto rows = fill({{u"d", 0, 0}, {u"c", 0, 0}, {u"b", 0, 0}, {u"a", 0, 0}});
  ASSERT_TRUE(list->select(rows[1], rows[1]->stamp()));
  ASSERT_TRUE(list->select(rows[3], rows[3]->stamp()));
  list->sort();
  ASSERT_EQ(list->selectedCount(), 2u);
  Record* record = nullptr;
  uint32_t stamp = 0;
  ASSERT_TRUE(list->getSelected(0, record, stamp));
  EXPECT_EQ(record, rows[1]);
  EXPECT_EQ(stamp, rows[1]->stamp());
  EXPECT_EQ(record->row(), 2u);
  list->sortSelectionByRow();
  ASSERT_TRUE(list->getSelected(0, record, stamp));
  EXPECT_EQ(record, rows[3]);
  EXPECT_EQ(stamp, rows[3]->stamp());
  ASSERT_TRUE(list->getSelected(1, record, stamp));
  EXPECT_EQ(record, rows[1]);
  EXPECT_FALSE(list->getSelected(2, record, stamp));
  EXPECT_EQ(record, nullptr);
}

TEST_F(ListBox2Test, SelectionEventsFollowTheChanges) {
  auto rows = fill({{u"a", 0, 0}, {u"b", 0, 0}, {u"c", 0, 0}});
  struct Step {
    const char* what;
    std::function<void()> act;
    std::vector<int32_t> codes;
  };
  const Step steps[] = {
      {"first selected", [&] { list->select(rows[0], rows[0]->stamp()); }, {20, 1}},
      {"second selected", [&] { list->select(rows[1], rows[1]->stamp()); }, {1}},
      {"selected again", [&] { list->select(rows[1], rows[1]->stamp()); }, {1}},
      {"stale stamp", [&] { list->select(rows[2], rows[2]->stamp() + 1); }, {}},
      {"clear", [&] { list->clearSelection(); }, {2, 2, 21}},
      {"select one", [&] { list->select(rows[2], rows[2]->stamp()); }, {20, 1}},
      {"remove it", [&] { list->removeRecord(rows[2], rows[2]->stamp()); }, {2, 21}},
      {"remove unselected", [&] { list->removeRecord(rows[1], rows[1]->stamp()); }, {}},
  };
  for (const Step& step : steps) {
    events.codes.clear();
    step.act();
    EXPECT_EQ(events.codes, step.codes) << step.what;
  }
  EXPECT_EQ(list->selectedCount(), 0u);
  rows[1]->release();
  rows[2]->release();
}

TEST_F(ListBox2Test, ClearingTheSelectionGoesLastFirstThroughTheView) {
  ViewLog view;
  view.list = list.get();
  list->setView(&view);
  auto rows = fill({{u"a", 0, 0}, {u"b", 0, 0}, {u"c", 0, 0}});
  list->select(rows[2], rows[2]->stamp());
  list->select(rows[0], rows[0]->stamp());
  view.calls.clear();
  list->clearSelection();
  EXPECT_EQ(view.calls, (std::vector<std::string>{"deselect 0", "deselect 2"}));
  EXPECT_EQ(list->selectedCount(), 0u);
}

TEST_F(ListBox2Test, AStaleStampMakesEveryOperationANoOp) {
  Record* record = makeRow(u"old", 5, 10, 0);
  list->appendRecord(record);
  uint32_t oldStamp = record->stamp();
  ASSERT_TRUE(list->removeAndRelease(record, oldStamp));
  // The pool hands the same object out again, with a new stamp.
  Record* reused = makeRow(u"new", 6, 20, 1);
  ASSERT_EQ(reused, record);
  EXPECT_NE(reused->stamp(), oldStamp);
  list->appendRecord(reused);

  lb::CellValue value = lb::int64Value(99);
  EXPECT_FALSE(list->setValue(record, oldStamp, kBytes, value));
  lb::disposeValue(value, lb::int64ValueOwner());
  EXPECT_FALSE(list->refreshText(record, oldStamp, kBytes));
  EXPECT_FALSE(list->setMarked(record, oldStamp, true));
  EXPECT_FALSE(list->select(record, oldStamp));
  EXPECT_FALSE(list->ensureVisible(record, oldStamp));
  EXPECT_FALSE(list->toggleExpand(record, oldStamp));
  EXPECT_FALSE(list->removeRecord(record, oldStamp));
  EXPECT_FALSE(list->removeAndRelease(record, oldStamp));
  EXPECT_EQ(list->next(record, oldStamp, false), nullptr);
  EXPECT_EQ(lb::int64Of(reused->cell(kBytes)->value()), 20);
  EXPECT_FALSE(reused->marked());
  EXPECT_EQ(list->recordCount(), 1u);
  EXPECT_EQ(list->selectedCount(), 0u);
  // A null record is refused the same way.
  EXPECT_FALSE(list->setValue(nullptr, 0, 0, 0));
  EXPECT_FALSE(list->appendRecord(nullptr));
}

TEST_F(ListBox2Test, StampsRiseByOneForEveryRecordMade) {
  Record* a = lb::newRecord(1, nullptr).release();
  Record* b = lb::newRecord(1, nullptr).release();
  EXPECT_EQ(b->stamp(), a->stamp() + 1);
  a->release();
  Record* c = lb::newRecord(1, nullptr).release();
  EXPECT_EQ(c->stamp(), b->stamp() + 1);
  b->release();
  c->release();
}

TEST_F(ListBox2Test, RowOperationsKeepRowsNumberedAndTellTheView) {
  ViewLog view;
  view.list = list.get();
  list->setView(&view);
  auto rows = fill({{u"a", 0, 0}, {u"b", 0, 0}});
  Record* inserted = makeRow(u"i", 0, 0, 7);
  ASSERT_TRUE(list->insertRecord(1, inserted));
  Record* past = makeRow(u"p", 0, 0, 8);
  ASSERT_TRUE(list->insertRecord(50, past));
  EXPECT_EQ(tags(*list), (std::vector<uint32_t>{0, 7, 1, 8}));
  // A record already held is not added twice.
  EXPECT_FALSE(list->appendRecord(rows[0]));
  EXPECT_FALSE(list->insertRecord(0, inserted));
  ASSERT_TRUE(list->removeRecord(rows[0], rows[0]->stamp()));
  EXPECT_TRUE(rows[0]->removed());
  EXPECT_EQ(tags(*list), (std::vector<uint32_t>{7, 1, 8}));
  // A removed record may come back.
  ASSERT_TRUE(list->appendRecord(rows[0]));
  EXPECT_EQ(tags(*list), (std::vector<uint32_t>{7, 1, 8, 0}));
  EXPECT_EQ(view.calls, (std::vector<std::string>{"insert 0 0", "insert 1 1", "insert 7 1",
                                                  "insert 8 3", "remove 0 0", "insert 0 3"}));
  view.calls.clear();
  list->removeAll();
  EXPECT_EQ(view.calls,
            (std::vector<std::string>{"remove 0 3", "remove 8 2", "remove 1 1", "remove 7 0"}));
  EXPECT_EQ(list->recordCount(), 0u);
  for (Record* record : {rows[0], rows[1], inserted, past}) {
    record->release();
  }
}

TEST_F(ListBox2Test, ReleasingAHeldRecordTakesItOutOfTheList) {
  auto rows = fill({{u"a", 0, 0}, {u"b", 0, 0}, {u"c", 0, 0}});
  list->select(rows[0], rows[0]->stamp());
  rows[0]->release();
  EXPECT_EQ(tags(*list), (std::vector<uint32_t>{1, 2}));
  EXPECT_EQ(list->selectedCount(), 0u);
  uint32_t freeBefore = Record::pool().freeCount();
  list->removeAllAndRelease();
  EXPECT_EQ(list->recordCount(), 0u);
  EXPECT_EQ(Record::pool().freeCount(), freeBefore + 2);
}

// A row handed over is the list's: it goes back to its pool with the list, once.
TEST_F(ListBox2Test, AHandedOverRowGoesBackWithItsList) {
  PoolPtr<ListBox2> own = ListBox2::make();
  addTestColumns(*own);
  PoolPtr<Record> row(makeRow(u"a", 1, 0, 0));
  Record* held = row.get();
  ASSERT_TRUE(own->appendRecord(std::move(row)));
  EXPECT_EQ(own->getRecord(0), held);
  EXPECT_FALSE(own->appendRecord(PoolPtr<Record>()));
  const uint32_t freeBefore = Record::pool().freeCount();
  own.reset();
  EXPECT_EQ(Record::pool().freeCount(), freeBefore + 1);
}

// Counts the values it disposes of.
int textMade = 0;
void countedText(lb::CellValue value, s::str::StrBuffer& text) {
  ++textMade;
  text.assignU32(static_cast<uint32_t>(value));
}

TEST_F(ListBox2Test, SetValueDisposesOfTheOldValueAndRemakesTheTextOnce) {
  ViewLog view;
  view.list = list.get();
  list->setView(&view);
  CountingOwner owner;
  Record* record = lb::newRecord(4, nullptr).release();
  for (uint32_t c = 0; c < 4; ++c) {
    lb::appendCell(record, lb::newCell(100 + c, &owner, countedText));
  }
  EXPECT_FALSE(lb::appendCell(record, lb::newCell(0, nullptr, nullptr)));
  EXPECT_EQ(record->cellCount(), 4u);
  list->appendRecord(record);
  textMade = 0;
  EXPECT_EQ(record->cell(1)->text(), u"101");
  EXPECT_EQ(record->cell(1)->text(), u"101");
  EXPECT_EQ(textMade, 1);

  view.calls.clear();
  ASSERT_TRUE(list->setValue(record, record->stamp(), 1, 555));
  EXPECT_EQ(owner.disposed, (std::vector<lb::CellValue>{101}));
  EXPECT_EQ(record->cell(1)->text(), u"555");
  EXPECT_EQ(textMade, 2);
  // The same value again is kept, not disposed of.
  ASSERT_TRUE(list->setValue(record, record->stamp(), 1, 555));
  EXPECT_EQ(owner.disposed.size(), 1u);
  EXPECT_EQ(record->cell(1)->valueOwner(), &owner);
  // Past the cells: nothing.
  EXPECT_FALSE(list->setValue(record, record->stamp(), 9, 1));

  ASSERT_TRUE(list->refreshText(record, record->stamp(), 2));
  EXPECT_EQ(textMade, 3);
  // A column's texts are made again when next shown or read, once.
  list->refreshColumn(3);
  EXPECT_EQ(textMade, 3);
  EXPECT_EQ(record->cell(3)->text(), u"103");
  EXPECT_EQ(record->cell(3)->text(), u"103");
  EXPECT_EQ(textMade, 4);
  ASSERT_TRUE(list->setMarked(record, record->stamp(), true));
  EXPECT_TRUE(record->marked());
  EXPECT_EQ(view.calls, (std::vector<std::string>{"cell 103 1", "cell 103 1", "cell 103 2",
                                                  "refresh 3", "row 103"}));
  // Releasing disposes of every value left.
  list->removeAndRelease(record, record->stamp());
  EXPECT_EQ(owner.disposed, (std::vector<lb::CellValue>{101, 100, 555, 102, 103}));
}

TEST_F(ListBox2Test, CheckStatesChangeOnlyOnCellsWithABox) {
  Record* record = lb::newRecord(2, nullptr).release();
  lb::appendCell(record, lb::newCell(0, nullptr, nullptr));
  lb::appendCell(record, lb::newCell(1, nullptr, nullptr));
  record->cell(0)->setCheckState(lb::kUnchecked);
  list->appendRecord(record);
  uint32_t stamp = record->stamp();
  struct Case {
    uint32_t column;
    int32_t state;
    bool notify;
    bool changed;
    std::vector<int32_t> codes;
  };
  const Case cases[] = {
      {0, lb::kChecked, true, true, {23}},
      {0, lb::kChecked, true, false, {}},  // no change
      {0, lb::kUnchecked, true, true, {24}},
      {0, lb::kPartlyChecked, true, true, {}},
      {0, lb::kUnchecked, false, true, {}},
      {0, lb::kNoCheckBox, true, false, {}},
      {0, 7, true, false, {}},
      {1, lb::kChecked, true, false, {}},  // the cell has no box
  };
  for (const Case& c : cases) {
    events.codes.clear();
    EXPECT_EQ(list->setCheckState(record, stamp, c.column, c.state, c.notify), c.changed)
        << c.column << " " << c.state;
    EXPECT_EQ(events.codes, c.codes) << c.column << " " << c.state;
  }
  EXPECT_EQ(record->cell(0)->checkState(), lb::kUnchecked);
}

TEST_F(ListBox2Test, NeighboursWrapOnlyWhenAsked) {
  auto rows = fill({{u"a", 0, 0}, {u"b", 0, 0}, {u"c", 0, 0}});
  Record* stray = makeRow(u"s", 0, 0, 9);
  struct Case {
    Record* from;
    bool next;
    bool wrap;
    Record* expected;
  };
  const Case cases[] = {
      {rows[0], true, false, rows[1]}, {rows[2], true, false, nullptr},
      {rows[2], true, true, rows[0]},  {rows[0], false, false, nullptr},
      {rows[0], false, true, rows[2]}, {rows[1], false, false, rows[0]},
      {stray, true, true, rows[0]},    {stray, false, true, rows[2]},
      {stray, true, false, nullptr},   {nullptr, false, false, nullptr},
  };
  for (const Case& c : cases) {
    uint32_t stamp = c.from == nullptr ? 0 : c.from->stamp();
    Record* got =
        c.next ? list->next(c.from, stamp, c.wrap) : list->previous(c.from, stamp, c.wrap);
    EXPECT_EQ(got, c.expected) << (c.next ? "next" : "previous") << " wrap " << c.wrap;
  }
  EXPECT_EQ(list->first(), rows[0]);
  stray->release();
}

TEST_F(ListBox2Test, UpdatesAndScrollingReachTheView) {
  ViewLog view;
  view.list = list.get();
  list->setView(&view);
  auto rows = fill({{u"a", 0, 0}});
  view.calls.clear();
  list->beginUpdate();
  EXPECT_TRUE(list->updating());
  list->endUpdate();
  EXPECT_FALSE(list->updating());
  EXPECT_TRUE(list->ensureVisible(rows[0], rows[0]->stamp()));
  list->sort();
  EXPECT_EQ(view.calls, (std::vector<std::string>{"begin", "end", "show 0", "sorted"}));
}

}  // namespace

namespace {

TEST(SubRecordTest, ACellWithoutToTextShowsItsSetTextOrNothing) {
  PoolPtr<lb::SubRecord> cell(lb::newCell(7, nullptr, nullptr, u""));
  EXPECT_EQ(cell->text(), u"");
  EXPECT_EQ(cell->iconSource(), u"");
  cell->setText(u"edited");
  EXPECT_EQ(cell->text(), u"edited");
  // A new value drops the text it no longer matches.
  cell->setValue(8);
  EXPECT_EQ(cell->text(), u"");
  PoolPtr<lb::SubRecord> icon(lb::newCell(0, nullptr, nullptr, u"/usr/bin/prog,0"));
  EXPECT_EQ(icon->iconSource(), u"/usr/bin/prog,0");
}

// A box given back gives back what it holds, the list among them; the list's header stays the
// list's alone, never handed to the next list made.
TEST(ListPoolTest, AListGivenBackInsideItsBoxKeepsItsHeaderToItself) {
  s::gui::win::ListBoxEx* box = s::gui::win::ListBoxEx::newListBoxEx(100, 100);
  box->release();
  ListBox2* kept = box->getList();
  PoolPtr<ListBox2> fresh = ListBox2::make();
  ASSERT_NE(kept->getHeader(), nullptr);
  EXPECT_NE(fresh->getHeader(), kept->getHeader());
  EXPECT_EQ(kept->getHeader()->getParent(), kept);
  EXPECT_EQ(fresh->getHeader()->getParent(), fresh.get());
}

}  // namespace

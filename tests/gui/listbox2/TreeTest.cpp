#include <gtest/gtest.h>

#include <vector>

#include "tests/gui/listbox2/Fixture.h"

namespace {

using namespace listbox2_test;
using s::PoolPtr;

class TreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    list->addColumn(u"Tree", 90, lb::kAlignLeft, true, lb::compareUInt32, true, false, false, false,
                    true);
  }
  static Record* node(uint32_t tag) {
    Record* record = lb::newRecord(4, nullptr).release();
    for (uint32_t c = 0; c < 4; ++c) {
      lb::appendCell(record, lb::newCell(tag, nullptr, nullptr));
    }
    record->setTreeCell(0);
    return record;
  }
  std::vector<uint32_t> shown() {
    std::vector<uint32_t> out;
    for (uint32_t row = 0; row < list->recordCount(); ++row) {
      EXPECT_EQ(list->getRecord(row)->row(), row);
      out.push_back(tagOf(list->getRecord(row)));
    }
    return out;
  }

  PoolPtr<ListBox2> list = ListBox2::make();
};

TEST_F(TreeTest, ChildrenGoInAtTheClampedIndex) {
  Record* parent = node(1);
  addChild(parent, 5, node(20));   // past the end: appended
  addChild(parent, -3, node(10));  // before the start: first
  addChild(parent, 1, node(15));
  ASSERT_EQ(parent->childCount(), 3u);
  EXPECT_EQ(tagOf(parent->child(0)), 10u);
  EXPECT_EQ(tagOf(parent->child(1)), 15u);
  EXPECT_EQ(tagOf(parent->child(2)), 20u);
  Record* grandchild = node(30);
  addChild(parent->child(1), 0, grandchild);
  EXPECT_TRUE(isDescendantOf(grandchild, parent));
  EXPECT_FALSE(isDescendantOf(parent, grandchild));
  // A record cannot become a child of its own descendant.
  addChild(grandchild, 0, parent);
  EXPECT_EQ(grandchild->childCount(), 0u);
  parent->release();
}

TEST_F(TreeTest, ExpandingShowsTheChildrenBelowTheRecordAndCollapsingHidesThem) {
  Record* a = node(1);
  Record* b = node(2);
  addChild(a, 0, node(11));
  addChild(a, 1, node(12));
  list->appendRecord(a);
  list->appendRecord(b);
  ASSERT_TRUE(list->toggleExpand(a, a->stamp()));
  EXPECT_EQ(shown(), (std::vector<uint32_t>{1, 11, 12, 2}));
  EXPECT_TRUE(a->expanded());
  ASSERT_TRUE(list->toggleExpand(a, a->stamp()));
  EXPECT_EQ(a->cell(0)->expandState(), lb::kCollapsed);
  EXPECT_EQ(shown(), (std::vector<uint32_t>{1, 2}));
  EXPECT_TRUE(a->child(0)->removed());
  // A record without a tree cell does not toggle.
  b->setTreeCell(-1);
  EXPECT_FALSE(list->toggleExpand(b, b->stamp()));
}

TEST_F(TreeTest, RemovingAnExpandedRecordRemovesItsChildrenRows) {
  Record* a = node(1);
  addChild(a, 0, node(11));
  Record* b = node(2);
  list->appendRecord(b);
  list->appendRecord(a);
  list->toggleExpand(a, a->stamp());
  Record* child = a->child(0);
  list->select(child, child->stamp());
  ASSERT_TRUE(list->removeAndRelease(a, a->stamp()));
  EXPECT_EQ(shown(), (std::vector<uint32_t>{2}));
  EXPECT_EQ(list->selectedCount(), 0u);
}

TEST_F(TreeTest, RemovingAChildRowLeavesItWithItsParent) {
  Record* a = node(1);
  addChild(a, 0, node(11));
  list->appendRecord(a);
  list->toggleExpand(a, a->stamp());
  Record* child = a->child(0);
  ASSERT_TRUE(list->removeAndRelease(child, child->stamp()));
  // The parent owns the child: it is not released, only no longer shown.
  EXPECT_EQ(a->child(0), child);
  EXPECT_EQ(child->parent(), a);
  EXPECT_EQ(shown(), (std::vector<uint32_t>{1}));
}

TEST_F(TreeTest, SortingCollapsesSoChildrenNeverLeaveTheirParent) {
  Record* a = node(5);
  addChild(a, 0, node(1));
  list->appendRecord(a);
  list->appendRecord(node(3));
  list->toggleExpand(a, a->stamp());
  EXPECT_EQ(shown(), (std::vector<uint32_t>{5, 1, 3}));
  list->sort();
  EXPECT_EQ(shown(), (std::vector<uint32_t>{3, 5}));
  EXPECT_EQ(a->cell(0)->expandState(), lb::kCollapsed);
}

TEST_F(TreeTest, AnExpandedRecordAppendedBringsItsChildren) {
  Record* a = node(1);
  addChild(a, 0, node(11));
  addChild(a->child(0), 0, node(111));
  a->cell(0)->setExpandState(lb::kExpanded);
  a->child(0)->cell(0)->setExpandState(lb::kExpanded);
  list->appendRecord(node(2));
  list->insertRecord(0, a);
  EXPECT_EQ(shown(), (std::vector<uint32_t>{1, 11, 111, 2}));
  // Releasing the parent releases the whole tree and its rows.
  a->release();
  EXPECT_EQ(shown(), (std::vector<uint32_t>{2}));
}

}  // namespace

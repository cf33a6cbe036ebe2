#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "framework/file/NativePath.h"
#include "framework/lang/Localizer.h"
#include "framework/lang/TextIds.h"
#include "framework/settings/MappedData.h"
#include "tests/gui/listbox2/Fixture.h"
#include "tests/support/TempFolder.h"

namespace {

using namespace listbox2_test;
using s::PoolPtr;
using s::col::ArrayS32;
using s::lang::Localizer;
using s::xml::MappedData;
namespace fs = std::filesystem;
namespace text = s::lang::text;

constexpr std::u16string_view kDir = u"MainWindow\\ConnectionsColumnOrder";

PoolPtr<ListBox2> listOf(uint32_t columns) {
  PoolPtr<ListBox2> list = ListBox2::make();
  for (uint32_t c = 0; c < columns; ++c) {
    list->addColumn(u"c", 50, lb::kAlignLeft, true, lb::compareUInt32, true, false, false, false,
                    false);
  }
  return list;
}

std::vector<int32_t> orderOf(const ListBox2& list) {
  const ArrayS32& order = list.getColumnOrder();
  return {order.begin(), order.end()};
}

PoolPtr<ArrayS32> arrayOf(std::initializer_list<int32_t> values) {
  PoolPtr<ArrayS32> array = ArrayS32::make();
  for (int32_t v : values) {
    array->push(v);
  }
  return array;
}

class ColumnOrderTest : public ::testing::Test {
 protected:
  PoolPtr<MappedData> open() const {
    return PoolPtr<MappedData>(MappedData::open(s::file::fromNative(file_.string())));
  }
  std::string fileText() const { return s::test::fileText(file_); }

  s::test::TempFolder folder_;
  fs::path file_ = folder_.path("savedata/SaveData.xml");
};

TEST_F(ColumnOrderTest, AnOrderSavedToTheFileComesBackInANewList) {
  {
    PoolPtr<ListBox2> list = listOf(12);
    EXPECT_EQ(orderOf(*list), (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    ASSERT_TRUE(list->setColumnOrder(*arrayOf({3, 0, 1, 2, 11, 10, 4, 5, 6, 7, 8, 9})));
    PoolPtr<MappedData> data = open();
    list->saveColumnOrder(*data, kDir);
    ASSERT_TRUE(data->save());
  }
  std::string saved = fileText();
  EXPECT_NE(saved.find("length=\"12\""), std::string::npos) << saved;
  EXPECT_NE(saved.find("_4=\"11\""), std::string::npos) << saved;

  PoolPtr<ListBox2> restored = listOf(12);
  PoolPtr<MappedData> data = open();
  ASSERT_TRUE(restored->restoreColumnOrder(*data, kDir));
  EXPECT_EQ(orderOf(*restored), (std::vector<int32_t>{3, 0, 1, 2, 11, 10, 4, 5, 6, 7, 8, 9}));
}

TEST_F(ColumnOrderTest, StoredOrdersThatDoNotFitAreIgnored) {
  struct Case {
    const char* what;
    int32_t length;
    std::vector<std::pair<int32_t, int32_t>> values;  // position, column
    bool applied;
    std::vector<int32_t> order;
  };
  const Case cases[] = {
      {"missing values read as their position", 3, {{0, 2}, {2, 0}}, true, {2, 1, 0}},
      {"nothing stored", 0, {}, false, {0, 1, 2}},
      {"negative length", -3, {{0, 2}, {1, 1}, {2, 0}}, false, {0, 1, 2}},
      {"too short", 2, {{0, 1}, {1, 0}}, false, {0, 1, 2}},
      {"too long", 4, {{0, 1}, {1, 0}}, false, {0, 1, 2}},
      {"a column twice", 3, {{0, 1}, {1, 1}, {2, 0}}, false, {0, 1, 2}},
      {"no such column", 3, {{0, 1}, {1, 7}, {2, 0}}, false, {0, 1, 2}},
      {"a negative column", 3, {{0, -1}, {1, 1}, {2, 0}}, false, {0, 1, 2}},
  };
  for (const Case& c : cases) {
    PoolPtr<MappedData> data(MappedData::inMemory());
    if (c.length != 0) {
      data->setS32(kDir, u"length", c.length);
    }
    for (auto [position, column] : c.values) {
      std::u16string key = u"_" + std::u16string(1, static_cast<char16_t>(u'0' + position));
      data->setS32(kDir, key, column);
    }
    PoolPtr<ListBox2> list = listOf(3);
    EXPECT_EQ(list->restoreColumnOrder(*data, kDir), c.applied) << c.what;
    EXPECT_EQ(orderOf(*list), c.order) << c.what;
  }
}

TEST_F(ColumnOrderTest, ElevenEntriesForTwelveColumnsAreRefused) {
  PoolPtr<ListBox2> list = listOf(12);
  EXPECT_FALSE(list->setColumnOrder(*arrayOf({1, 0, 2, 3, 4, 5, 6, 7, 8, 9, 10})));
  EXPECT_EQ(orderOf(*list), (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
}

TEST(ColumnTitleTest, TitlesAreReadAgainWhenTheListHearsOfTheLanguage) {
  PoolPtr<Localizer> localizer(Localizer::fromResource(u"IDR_XML", 130));
  localizer->selectLanguage(u"English");
  PoolPtr<ListBox2> list = ListBox2::make();
  list->addColumn(localizer.get(), text::kColumnProtocol, 50, lb::kAlignLeft, true,
                  lb::compareTextBinary, true, false, false, false, false);
  list->addColumn(u"Literal", 50, lb::kAlignLeft, true, nullptr, true, false, false, false, false);
  lb::DataType* localized = list->getColumn(0);
  EXPECT_EQ(localized->title(), u"Protocol");
  EXPECT_EQ(localized->titleTextId(), text::kColumnProtocol);
  EXPECT_EQ(list->getColumn(1)->titleTextId(), -1);

  // The localizer's thread does not write the title; the list's own thread reads it again.
  localizer->selectLanguage(u"German");
  EXPECT_EQ(localized->title(), u"Protocol");
  list->languageChanged();
  EXPECT_EQ(localized->title(), u"Protokoll");
  EXPECT_EQ(list->getColumn(1)->title(), u"Literal");
}

TEST(ColumnTitleTest, AColumnIsInItsResetStateWhenTaken) {
  lb::DataType* column = lb::DataType::take();
  EXPECT_EQ(column->titleTextId(), -1);
  EXPECT_EQ(column->localizer(), nullptr);
  EXPECT_EQ(column->width(), 0);
  EXPECT_FALSE(column->sortable() || column->editable() || column->showsIcon() ||
               column->checkBoxes() || column->treeColumn());
  EXPECT_EQ(column->comparator(), nullptr);
  EXPECT_TRUE(column->ascending());
  column->release();
}

}  // namespace

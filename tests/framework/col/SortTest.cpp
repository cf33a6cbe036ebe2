#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <random>
#include <vector>

#include "framework/col/ArrayP.h"
#include "framework/col/Comparators.h"
#include "framework/col/ListP.h"
#include "framework/col/MergeSort.h"

namespace {

using s::col::ArrayP;
using s::col::CompP;
using s::col::CompS08;
using s::col::CompS32;
using s::col::CompS64;
using s::col::CompU08;
using s::col::CompU32;
using s::col::mergeSort;

template <class Comparator, class T>
void expectOrdered(T low, T high) {
  const auto& comparator = Comparator::instance();
  EXPECT_EQ(comparator.compare(low, high), -1);
  EXPECT_EQ(comparator.compare(high, low), 1);
  EXPECT_EQ(comparator.compare(high, high), 0);
  EXPECT_EQ(comparator.compareIgnoreCase(low, high), -1);
}

TEST(ComparatorTest, SignsHoldAtTheExtremes) {
  expectOrdered<CompS32, int32_t>(INT32_MIN, INT32_MAX);
  expectOrdered<CompS32, int32_t>(-1, 0);
  expectOrdered<CompU32, uint32_t>(0, 0xFFFFFFFFu);
  expectOrdered<CompU32, uint32_t>(0x7FFFFFFFu, 0x80000000u);
  expectOrdered<CompS64, int64_t>(INT64_MIN, INT64_MAX);
  expectOrdered<CompS64, int64_t>(-1, 0x100000000LL);
  expectOrdered<CompU08, uint8_t>(0, 255);
  expectOrdered<CompS08, int8_t>(-128, 127);
  int pair[2] = {};
  expectOrdered<CompP, const void*>(&pair[0], &pair[1]);
  expectOrdered<CompP, const void*>(nullptr, &pair[0]);
}

TEST(ComparatorTest, EachHasOneInstanceAndIsAnObject) {
  EXPECT_EQ(&CompS32::instance(), &CompS32::instance());
  EXPECT_EQ(CompU08::instance().className(), u"s_col_CompU08");
  EXPECT_EQ(&ArrayP<int>::defaultComparator(), &CompP::instance());
  EXPECT_EQ(&s::col::ListP<int>::defaultComparator(), &CompP::instance());
}

// A record with a key and its position before sorting, to see stability.
struct Record {
  int key;
  int position;
};

int byKey(const Record* a, const Record* b) {
  return (a->key > b->key) - (a->key < b->key);
}

class MergeSortSizesTest : public ::testing::TestWithParam<uint32_t> {};

TEST_P(MergeSortSizesTest, MatchesStableSortOnRandomKeys) {
  uint32_t count = GetParam();
  std::mt19937 random(count);
  // Few distinct keys, so runs of equal ones are common; and wide keys.
  for (int range : {3, 1000000}) {
    std::vector<Record> records(count);
    std::vector<Record*> items;
    for (uint32_t i = 0; i < count; ++i) {
      records[i] = {static_cast<int>(random() % range), static_cast<int>(i)};
      items.push_back(&records[i]);
    }
    std::vector<Record*> expected = items;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const Record* a, const Record* b) { return a->key < b->key; });
    mergeSort(items.data(), count, byKey);
    EXPECT_EQ(items, expected) << "range " << range;
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, MergeSortSizesTest,
                         ::testing::Values(0, 1, 2, 6, 7, 13, 100, 1000));

TEST(MergeSortTest, EqualKeysKeepTheirOrder) {
  std::vector<Record> records(500);
  std::vector<Record*> items;
  for (int i = 0; i < 500; ++i) {
    // Descending blocks of equal keys.
    records[i] = {(499 - i) / 50, i};
    items.push_back(&records[i]);
  }
  mergeSort(items.data(), 500, byKey);
  for (size_t i = 1; i < items.size(); ++i) {
    ASSERT_LE(items[i - 1]->key, items[i]->key);
    if (items[i - 1]->key == items[i]->key) {
      ASSERT_LT(items[i - 1]->position, items[i]->position) << i;
    }
  }
}

TEST(MergeSortTest, OrderedInputTakesTheShortcut) {
  std::vector<Record> records(1000);
  std::vector<Record*> items;
  for (int i = 0; i < 1000; ++i) {
    records[i] = {i, i};
    items.push_back(&records[i]);
  }
  int compares = 0;
  mergeSort(items.data(), 1000, [&compares](const Record* a, const Record* b) {
    ++compares;
    return byKey(a, b);
  });
  // Insertion sorts of the small ranges plus one compare per merge, not n log n.
  EXPECT_LT(compares, 1000);
  EXPECT_TRUE(std::is_sorted(items.begin(), items.end()));
}

int byKeyWithDirection(Record* a, Record* b, void* userData) {
  return byKey(a, b) * *static_cast<int*>(userData);
}

TEST(MergeSortTest, ArraysSortWithUserDataAndReuseTheirScratch) {
  std::vector<Record> records(300);
  ArrayP<Record> array;
  for (int i = 0; i < 300; ++i) {
    records[i] = {(i * 7919) % 300, i};
    array.push(&records[i]);
  }
  ArrayP<Record> scratch;
  int descending = -1;
  mergeSort(array.data(), array.count(), &byKeyWithDirection, &descending, scratch);
  for (uint32_t i = 0; i < 300; ++i) {
    ASSERT_EQ(array[i]->key, 299 - static_cast<int>(i));
  }
  uint32_t scratchCapacity = scratch.capacity();
  EXPECT_GE(scratchCapacity, 300u);
  EXPECT_EQ(scratch.count(), 0u);

  // Address order by default; the grown scratch serves again without growing.
  std::reverse(array.begin(), array.end());
  mergeSort(array, scratch);
  EXPECT_TRUE(std::is_sorted(array.begin(), array.end()));
  EXPECT_EQ(array[0], &records[0]);
  EXPECT_EQ(scratch.capacity(), scratchCapacity);
}

}  // namespace

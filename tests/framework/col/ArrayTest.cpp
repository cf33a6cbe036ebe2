#include <gtest/gtest.h>

#include "framework/base/Cleaners.h"
#include "framework/col/Array.h"
#include "framework/col/ArrayP.h"

namespace {

using s::col::ArrayP;
using s::col::ArrayS32;
using s::col::ArrayU08;
using s::col::ArrayU32;

TEST(ArrayTest, GrowsTo100ThenTriples) {
  ArrayU32 array;
  EXPECT_EQ(array.capacity(), 0u);
  array.push(1);
  EXPECT_EQ(array.capacity(), 100u);
  for (uint32_t i = 1; i < 100; ++i) {
    array.push(i + 1);
  }
  EXPECT_EQ(array.capacity(), 100u);
  array.push(101);
  EXPECT_EQ(array.capacity(), 300u);
  EXPECT_EQ(array.count(), 101u);
  EXPECT_EQ(array[100], 101u);
  // A large append applies the rule until it fits.
  std::vector<uint32_t> many(1000, 7);
  array.append(many.data(), 1000);
  EXPECT_EQ(array.capacity(), 2700u);
}

TEST(ArrayTest, EditsInTheMiddleAndAtBothEnds) {
  ArrayS32 array;
  const int32_t values[] = {1, 2, 3, 4, 5};
  array.append(values, 5);
  const int32_t front[] = {-1, 0};
  array.prepend(front, 2);
  array.insert(3, values, 2, 3);  // 4, 5 after the 1
  EXPECT_EQ(std::vector<int32_t>(array.begin(), array.end()),
            (std::vector<int32_t>{-1, 0, 1, 4, 5, 2, 3, 4, 5}));
  // Inserting the array's own elements into itself.
  array.insert(0, array.data(), 2, 7);
  EXPECT_EQ(array[0], 4);
  EXPECT_EQ(array[1], 5);
  array.removeRange(0, 2);

  int32_t out[3] = {};
  array.takeRange(2, out, 3);
  EXPECT_EQ(std::vector<int32_t>(out, out + 3), (std::vector<int32_t>{1, 4, 5}));
  array.popFirst(out, 1);
  EXPECT_EQ(out[0], -1);
  array.popLast(out, 2, 1);
  EXPECT_EQ(out[1], 4);
  EXPECT_EQ(out[2], 5);
  EXPECT_EQ(std::vector<int32_t>(array.begin(), array.end()), (std::vector<int32_t>{0, 2, 3}));
  array.reverse();
  EXPECT_EQ(array.compareRange(0, std::vector<int32_t>{3, 2, 0}.data(), 3), 0);
  EXPECT_EQ(array.toText(), u"s_col__array_ArrayS32[3, 2, 0]");
  EXPECT_EQ(array.toXmlText(),
            u"<s_col__array_ArrayS32 length=\"3\">3 2 0</s_col__array_ArrayS32>");
  // Removals past the end are clamped.
  array.dropFirst(10);
  EXPECT_EQ(array.count(), 0u);
}

TEST(ArrayTest, AppendingItsOwnElementsSurvivesGrowth) {
  ArrayS32 array;
  for (int32_t i = 0; i < 100; ++i) {
    array.push(i);
  }
  ASSERT_EQ(array.capacity(), 100u);
  array.append(array.data(), 100);  // the source is the block that growth replaces
  ASSERT_EQ(array.count(), 200u);
  for (uint32_t i = 0; i < 200; ++i) {
    ASSERT_EQ(array[i], static_cast<int32_t>(i % 100));
  }
}

TEST(ArrayTest, ByteStreamsKeepPartialElements) {
  ArrayU32 array;
  const uint8_t bytes[] = {1, 0, 0, 0, 2, 0};
  array.writeBytes(bytes, 6);
  EXPECT_EQ(array.count(), 1u);
  const uint8_t rest[] = {0, 0};
  array.writeBytes(rest, 2);
  ASSERT_EQ(array.count(), 2u);
  EXPECT_EQ(array[1], 2u);

  uint8_t read[16] = {};
  EXPECT_EQ(array.readBytes(read, 5), 5u);
  EXPECT_EQ(array.readBytes(read, 16), 3u);
  EXPECT_EQ(array.readBytes(read, 16), 0u);
}

TEST(ArrayTest, ReleasedArrayComesBackEmptyWithoutBlock) {
  ArrayU08* array = ArrayU08::take();
  array->push(1);
  array->release();
  ArrayU08* again = ArrayU08::take();
  EXPECT_EQ(again->count(), 0u);
  EXPECT_EQ(again->capacity(), 0u);
  again->release();
}

// Counts how often it is destroyed.
class Element final : public s::IObject {
 public:
  explicit Element(int* deaths) : deaths_(deaths) {}
  ~Element() override { ++*deaths_; }
  std::u16string_view className() const override { return u"s_test_Element"; }
  s::ObjectPtr newInstance() const override { return s::ObjectPtr(new Element(deaths_)); }

 private:
  int* deaths_;
};

TEST(ArrayPTest, ClearKeepsElementsAliveFreeMemoryDisposesOfThem) {
  int deaths = 0;
  ArrayP<Element> array(&s::CleanerIObject<Element>::instance());
  Element* kept = new Element(&deaths);
  array.push(kept);
  array.clear();
  EXPECT_EQ(deaths, 0);
  array.push(kept);
  auto* second = new Element(&deaths);
  array.push(second);
  EXPECT_EQ(array.pop(), second);  // a plain removal hands the element back
  delete second;
  array.freeMemory();
  EXPECT_EQ(deaths, 2);
  EXPECT_EQ(array.count(), 0u);
}

TEST(ArrayPTest, WithoutDestructorNothingIsDisposedOf) {
  int deaths = 0;
  Element element(&deaths);
  {
    ArrayP<Element> array;
    array.push(&element);
    array.freeMemory();
    array.push(&element);
  }
  EXPECT_EQ(deaths, 0);
}

}  // namespace

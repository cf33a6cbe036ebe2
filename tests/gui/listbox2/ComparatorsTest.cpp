#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string_view>

#include "framework/base/Pooled.h"
#include "framework/str/StrBuffer.h"
#include "gui/listbox2/Comparators.h"

namespace {

using s::gui::listbox2::CellComparator;
using s::gui::listbox2::CellValue;
using s::str::StrBuffer;
namespace lb = s::gui::listbox2;

int sign(int32_t r) {
  return (r > 0) - (r < 0);
}

struct TextCase {
  CellComparator compare;
  const char16_t* a;  // null: no value
  const char16_t* b;
  int expected;
};

TEST(ComparatorsTest, TextValuesOrderByTheirRule) {
  const TextCase cases[] = {
      {lb::compareTextNoCase, u"abc", u"ABD", -1},
      {lb::compareTextNoCase, u"ABC", u"abc", 0},
      {lb::compareTextNoCase, u"ab", u"ABC", -1},
      {lb::compareTextNoCase, u"b", u"A", 1},
      {lb::compareTextNoCase, u"", u"", 0},
      {lb::compareTextNoCase, nullptr, u"", 0},
      {lb::compareTextNoCase, nullptr, u"a", -1},
      {lb::compareTextBinary, u"B", u"a", -1},
      {lb::compareTextBinary, u"a", u"B", 1},
      {lb::compareTextBinary, u"abc", u"ab", 1},
      {lb::compareTextBinary, u"abc", u"abc", 0},
      // The low byte comes first: 0x0100 is stored 00 01, 0x00FF is FF 00.
      {lb::compareTextBinary, u"\u0100", u"\u00FF", -1},
      {lb::compareTextBinary, u"x\u00FF", u"x\u0100", 1},
  };
  for (const TextCase& c : cases) {
    s::PoolPtr<StrBuffer> a(c.a == nullptr ? nullptr : StrBuffer::of(c.a));
    s::PoolPtr<StrBuffer> b(c.b == nullptr ? nullptr : StrBuffer::of(c.b));
    CellValue va = lb::textValue(a.get());
    CellValue vb = lb::textValue(b.get());
    std::u16string_view ta = c.a == nullptr ? u"(none)" : c.a;
    std::u16string_view tb = c.b == nullptr ? u"(none)" : c.b;
    EXPECT_EQ(sign(c.compare(va, vb, nullptr)), c.expected)
        << std::string(ta.begin(), ta.end()) << " vs " << std::string(tb.begin(), tb.end());
    EXPECT_EQ(sign(c.compare(vb, va, nullptr)), -c.expected);
  }
}

struct NumberCase {
  CellComparator compare;
  int64_t a;
  int64_t b;
  int expected;
};

TEST(ComparatorsTest, NumbersOrderByTheirWidthAndSign) {
  const NumberCase cases[] = {
      {lb::compareInt32, -1, 1, -1}, {lb::compareInt32, INT32_MIN, INT32_MAX, -1},
      {lb::compareInt32, 7, 7, 0},   {lb::compareUInt32, 0xFFFFFFFFLL, 1, 1},
      {lb::compareUInt32, 0, 1, -1}, {lb::compareUInt32, 0x80000000LL, 0x7FFFFFFFLL, 1},
  };
  for (const NumberCase& c : cases) {
    auto va = static_cast<CellValue>(static_cast<uint32_t>(c.a));
    auto vb = static_cast<CellValue>(static_cast<uint32_t>(c.b));
    EXPECT_EQ(c.compare(va, vb, nullptr), c.expected) << c.a << " vs " << c.b;
    EXPECT_EQ(c.compare(vb, va, nullptr), -c.expected) << c.b << " vs " << c.a;
  }
}

TEST(ComparatorsTest, BoxedSixtyFourBitValuesOrderAscendingOrDescending) {
  const NumberCase cases[] = {
      {lb::compareInt64, -1, 0, -1},
      {lb::compareInt64, 1LL << 32, 0xFFFFFFFFLL, 1},
      {lb::compareInt64, -(1LL << 32), 1, -1},
      {lb::compareInt64, INT64_MIN, INT64_MAX, -1},
      {lb::compareInt64, 1LL << 40, 1LL << 40, 0},
      {lb::compareInt64Descending, -1, 0, 1},
      {lb::compareInt64Descending, 1LL << 32, 0xFFFFFFFFLL, -1},
      {lb::compareInt64Descending, INT64_MIN, INT64_MAX, 1},
      {lb::compareInt64Descending, 5, 5, 0},
  };
  for (const NumberCase& c : cases) {
    CellValue va = lb::int64Value(c.a);
    CellValue vb = lb::int64Value(c.b);
    EXPECT_EQ(c.compare(va, vb, nullptr), c.expected) << c.a << " vs " << c.b;
    EXPECT_EQ(c.compare(vb, va, nullptr), -c.expected) << c.b << " vs " << c.a;
    lb::disposeValue(va, lb::int64ValueOwner());
    lb::disposeValue(vb, lb::int64ValueOwner());
  }
}

TEST(ComparatorsTest, DisplayTextsOfTheCommonKinds) {
  s::PoolPtr<StrBuffer> text = StrBuffer::make();
  lb::showU32(static_cast<CellValue>(4000000000U), *text);
  EXPECT_EQ(text->view(), u"4000000000");
  lb::showS32(static_cast<CellValue>(static_cast<uint32_t>(-42)), *text);
  EXPECT_EQ(text->view(), u"-42");
  CellValue bytes = lb::int64Value(1536);
  lb::showByteSize(bytes, *text);
  EXPECT_EQ(text->view(), u"1.50 KB");
  lb::showInt64(bytes, *text);
  EXPECT_EQ(text->view(), u"1536");
  lb::disposeValue(bytes, lb::int64ValueOwner());
  lb::showText(0, *text);
  EXPECT_EQ(text->view(), u"");
}

}  // namespace

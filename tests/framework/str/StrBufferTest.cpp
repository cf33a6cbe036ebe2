#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "framework/col/Array.h"
#include "framework/str/StrArray.h"
#include "framework/str/StrBuffer.h"

namespace {

using s::col::ArrayU08;
using s::str::StrArray;
using s::str::StrBuffer;
using s::str::ZeroByte;
using Buffer = s::PoolPtr<StrBuffer>;

Buffer of(std::u16string_view text) {
  return Buffer(StrBuffer::of(text));
}

std::vector<uint8_t> bytesOf(const ArrayU08& array) {
  return {array.begin(), array.end()};
}

TEST(StrBufferTest, FreshBufferHasNoBlockButAnEmptyText) {
  Buffer buffer = StrBuffer::make();
  EXPECT_EQ(buffer->capacity(), 0u);
  ASSERT_NE(buffer->text(), nullptr);
  EXPECT_EQ(buffer->text()[0], u'\0');
  EXPECT_EQ(buffer->end(), nullptr);
  EXPECT_EQ(buffer->className(), u"s_str_strbuffer_StrBuffer");
}

TEST(StrBufferTest, GrowsTo100ThenTriplesAndResetFreesTheBlock) {
  Buffer buffer = StrBuffer::make();
  buffer->appendChar(u'x');
  EXPECT_EQ(buffer->capacity(), 100u);
  buffer->append(std::u16string(99, u'y'));
  EXPECT_EQ(buffer->capacity(), 100u);
  buffer->appendChar(u'z');
  EXPECT_EQ(buffer->capacity(), 300u);
  // A large append applies the rule until the text fits.
  buffer->append(std::u16string(1000, u'w'));
  EXPECT_EQ(buffer->capacity(), 2700u);
  EXPECT_EQ(buffer->length(), 1101u);
  EXPECT_EQ(buffer->text()[1101], u'\0');
  EXPECT_EQ(*(buffer->end() - 1), u'w');

  buffer->clear();
  EXPECT_EQ(buffer->length(), 0u);
  EXPECT_EQ(buffer->capacity(), 2700u);
  buffer->reserve(3000);
  EXPECT_EQ(buffer->capacity(), 3000u);
  buffer->reset();
  EXPECT_EQ(buffer->capacity(), 0u);
  EXPECT_EQ(buffer->data(), nullptr);
}

TEST(StrBufferTest, AppendsItsOwnTextWhileGrowing) {
  Buffer buffer = of(std::u16string(100, u'a'));
  ASSERT_EQ(buffer->capacity(), 100u);
  buffer->append(buffer->view());
  EXPECT_EQ(buffer->view(), std::u16string(200, u'a'));
  buffer->insertFront(buffer->view().substr(0, 150));
  EXPECT_EQ(buffer->view(), std::u16string(350, u'a'));
  buffer->assign(buffer->view().substr(340));
  EXPECT_EQ(buffer->length(), 10u);
}

struct CompareCase {
  std::u16string_view a;
  std::u16string_view b;
  int expected;
};

TEST(StrBufferTest, ComparesUtf16LeBytesThenLength) {
  const CompareCase cases[] = {
      {u"ab", u"abc", -1},
      {u"abc", u"abc", 0},
      {u"b", u"abc", 1},
      {u"", u"", 0},
      {u"", u"a", -1},
      // The low byte comes first: 00 01 before ff 00, and 01 02 before 02 01.
      {u"\u0100", u"\u00FF", -1},
      {u"\u0201", u"\u0102", -1},
      {u"a\u0100", u"a\u0001", -1},
  };
  for (const auto& c : cases) {
    Buffer a = of(c.a);
    Buffer b = of(c.b);
    EXPECT_EQ(a->compareTo(*b), c.expected) << a->toUtf8String() << " vs " << b->toUtf8String();
    EXPECT_EQ(b->compareTo(*a), -c.expected);
    EXPECT_EQ(a->equals(*b), c.expected == 0);
  }
}

TEST(StrBufferTest, IgnoreCaseFamily) {
  Buffer upper = of(u"HeLLo");
  Buffer lower = of(u"hello");
  EXPECT_TRUE(upper->equalsIgnoreCase(*lower, nullptr));
  EXPECT_FALSE(upper->equals(*lower));
  EXPECT_EQ(upper->compareToIgnoreCase(*lower, nullptr), 0);
  EXPECT_EQ(upper->hashCodeIgnoreCase(), lower->hashCode());
  EXPECT_NE(upper->hashCode(), lower->hashCode());
  Buffer longer = of(u"HELLO!");
  EXPECT_EQ(upper->compareToIgnoreCase(*longer, nullptr), -1);
  EXPECT_FALSE(upper->equalsIgnoreCase(*longer, nullptr));
}

TEST(StrBufferTest, HashRotatesBit30IntoBit0AndDropsBit31) {
  EXPECT_EQ(of(u"")->hashCode(), 0u);
  EXPECT_EQ(of(u"a")->hashCode(), 0x61u);
  EXPECT_EQ(of(u"ab")->hashCode(), 0xA0u);  // (0x61 << 1) ^ 0x62
  std::u16string text(1, u'\x0001');
  text.append(30, u'\0');
  EXPECT_EQ(of(text)->hashCode(), 0x40000000u);
  text.push_back(u'\0');
  EXPECT_EQ(of(text)->hashCode(), 0x80000001u);
  text.push_back(u'\0');
  EXPECT_EQ(of(text)->hashCode(), 0x00000002u);
}

TEST(StrBufferTest, SearchesForwardAndBackward) {
  Buffer text = of(u"abcABCabc");
  uint32_t pos = 99;
  EXPECT_TRUE(text->find(u"bc", pos));
  EXPECT_EQ(pos, 1u);
  EXPECT_TRUE(text->find(u"bc", pos, 2));
  EXPECT_EQ(pos, 7u);
  EXPECT_FALSE(text->find(u"bc", pos, 8));
  EXPECT_FALSE(text->find(u"", pos));
  EXPECT_TRUE(text->findIgnoreCase(u"BC", pos, 2));
  EXPECT_EQ(pos, 4u);

  EXPECT_TRUE(text->findLast(u"bc", pos));
  EXPECT_EQ(pos, 7u);
  EXPECT_TRUE(text->findLast(u"bc", pos, 7));  // starts before the limit
  EXPECT_EQ(pos, 1u);
  EXPECT_FALSE(text->findLast(u"bc", pos, 1));
  EXPECT_TRUE(text->findLastIgnoreCase(u"BC", pos, 7));
  EXPECT_EQ(pos, 4u);
  EXPECT_FALSE(text->findLast(u"abcabcabcabc", pos));

  EXPECT_TRUE(text->indexOf(u'C', pos));
  EXPECT_EQ(pos, 5u);
  EXPECT_TRUE(text->indexOfIgnoreCase(u'C', pos));
  EXPECT_EQ(pos, 2u);
  EXPECT_TRUE(text->lastIndexOf(u'a', pos, 6));
  EXPECT_EQ(pos, 0u);
  EXPECT_TRUE(text->lastIndexOfIgnoreCase(u'a', pos, 6));
  EXPECT_EQ(pos, 3u);
  EXPECT_TRUE(text->indexOfAny(u"Cb", pos, 2));
  EXPECT_EQ(pos, 5u);
  EXPECT_TRUE(text->lastIndexOfAnyIgnoreCase(u"xB", pos));
  EXPECT_EQ(pos, 7u);
  EXPECT_FALSE(text->indexOf(u'z', pos));
  EXPECT_FALSE(text->indexOf(u'a', pos, 100));
}

TEST(StrBufferTest, ComparesAtPositionsAndEnds) {
  Buffer text = of(u"Hello World");
  EXPECT_TRUE(text->equalsAt(6, u"xWorld", 1));
  EXPECT_FALSE(text->equalsAt(6, u"Worl"));  // n = -1: the whole rest must match
  EXPECT_TRUE(text->equalsAt(6, u"Worl", 0, 4));
  EXPECT_FALSE(text->equalsAt(8, u"rldx", 0, 4));
  EXPECT_FALSE(text->equalsAt(20, u"x", 0, 0));
  EXPECT_TRUE(text->equalsAtIgnoreCase(0, u"HELLO", 0, 5));
  EXPECT_TRUE(text->startsWith(u"Hell"));
  EXPECT_FALSE(text->startsWith(u"hell"));
  EXPECT_TRUE(text->startsWithIgnoreCase(u"hell"));
  EXPECT_TRUE(text->endsWith(u"World"));
  EXPECT_TRUE(text->endsWithIgnoreCase(u"WORLD"));
  EXPECT_FALSE(text->endsWith(u"xHello World"));
}

struct ReplaceCase {
  std::u16string_view text;
  std::u16string_view from;
  std::u16string_view to;
  std::u16string_view expected;
  uint32_t count;
};

TEST(StrBufferTest, ReplacesEveryOccurrenceWithoutRescanning) {
  const ReplaceCase cases[] = {
      {u"a.b.c", u".", u"-", u"a-b-c", 2},  // equal length
      {u"aaaa", u"aa", u"a", u"aa", 2},     // shorter
      {u"xabyabz", u"ab", u"", u"xyz", 2},       {u"xabyabz", u"ab", {}, u"xyz", 2},  // removed
      {u"a.b.c", u".", u"::", u"a::b::c", 2},                                         // longer
      {u"aaa", u"a", u"aa", u"aaaaaa", 3},  // inserted text is not scanned again
      {u"abab", u"ab", u"abab", u"abababab", 2}, {u"xyz", u"q", u"rr", u"xyz", 0},
      {u"ab", u"abc", u"x", u"ab", 0},
  };
  for (const auto& c : cases) {
    Buffer text = of(c.text);
    EXPECT_EQ(text->replaceAll(c.from, c.to), c.count);
    EXPECT_EQ(text->toUtf8String(), of(c.expected)->toUtf8String());
  }
  Buffer mixed = of(u"AbxaBxab");
  EXPECT_EQ(mixed->replaceAllIgnoreCase(u"ab", u"[]"), 3u);
  EXPECT_EQ(mixed->toUtf8String(), "[]x[]x[]");
  // Long enough to need a new block.
  Buffer grown = of(std::u16string(100, u'a'));
  EXPECT_EQ(grown->replaceAll(u"a", u"bcd"), 100u);
  std::u16string expected;
  for (int i = 0; i < 100; ++i) {
    expected += u"bcd";
  }
  EXPECT_EQ(grown->view(), expected);
}

TEST(StrBufferTest, Trims) {
  Buffer text = of(u"  \t\r\n\u3000x y \u3000\n");
  text->trimEnd();
  EXPECT_EQ(text->view(), u"  \t\r\n\u3000x y");
  text->trimStart();
  EXPECT_EQ(text->view(), u"x y");

  Buffer padded = of(u"abc  ");
  padded->trimEnd(3);
  EXPECT_EQ(padded->view(), u"abc");
  Buffer blank = of(u"     ");
  blank->trimEnd(2);
  EXPECT_EQ(blank->view(), u"  ");
  blank->trimEnd();
  EXPECT_TRUE(blank->empty());

  Buffer path = of(u"//dir//");
  path->trimEndChars(u"/");
  path->trimStartChars(u"/");
  EXPECT_EQ(path->view(), u"dir");
  Buffer zeros = of(u"1000");
  zeros->trimEndChars(u"0", 2);
  EXPECT_EQ(zeros->view(), u"10");
}

TEST(StrBufferTest, SplitLeavesOutEmptyPieces) {
  s::PoolPtr<StrArray> pieces(of(u",a,,b,")->split(u','));
  ASSERT_EQ(pieces->count(), 2u);
  EXPECT_EQ(pieces->at(0)->view(), u"a");
  EXPECT_EQ(pieces->at(1)->view(), u"b");
  EXPECT_EQ(s::PoolPtr<StrArray>(of(u",,,")->split(u','))->count(), 0u);
  EXPECT_EQ(s::PoolPtr<StrArray>(of(u"abc")->split(u','))->count(), 1u);
}

TEST(StrBufferTest, StrArrayReleasesItsElementsToThePool) {
  StrArray* array = StrArray::take();
  array->add(u"one");
  array->add(u"two");
  uint32_t before = StrBuffer::pool().freeCount();
  array->release();
  EXPECT_EQ(StrBuffer::pool().freeCount(), before + 2);
  EXPECT_EQ(StrArray::make()->count(), 0u);
}

TEST(StrBufferTest, NewBuffersFromParts) {
  Buffer text = of(u"dir/sub/file.txt");
  EXPECT_EQ(Buffer(text->substring(4, 7))->view(), u"sub");
  EXPECT_EQ(Buffer(text->substring(13))->view(), u"txt");
  EXPECT_EQ(Buffer(text->substring(9, 3))->view(), u"");
  EXPECT_EQ(Buffer(text->prefixBeforeLast(u'/'))->view(), u"dir/sub");
  EXPECT_EQ(Buffer(text->prefixBeforeLast(u'/', 7))->view(), u"dir");
  EXPECT_EQ(Buffer(text->prefixBeforeLast(u'x', 12))->view(), u"");
  EXPECT_EQ(Buffer(text->prefixBeforeLastIgnoreCase(u'F'))->view(), u"dir/sub/");
  EXPECT_EQ(Buffer(text->prefixBeforeLastAny(u"./"))->view(), u"dir/sub/file");
  EXPECT_EQ(Buffer(text->prefixBeforeLast(u"/s"))->view(), u"dir");
  EXPECT_EQ(Buffer(text->prefixBeforeLastIgnoreCase(u"SUB"))->view(), u"dir/");
  EXPECT_EQ(Buffer(text->copy())->view(), text->view());
  EXPECT_EQ(Buffer(StrBuffer::of(u"a", u"b", u"c", u"d"))->view(), u"abcd");

  text->keepRange(4, 7);
  EXPECT_EQ(text->view(), u"sub");
  text->insertFront(u"/");
  text->reverse();
  EXPECT_EQ(text->view(), u"bus/");
}

TEST(StrBufferTest, CaseChanges) {
  Buffer text = of(u"hELLO wORLD");
  text->capitalize();
  EXPECT_EQ(text->view(), u"Hello world");
  text->toUpperCase();
  EXPECT_EQ(text->view(), u"HELLO WORLD");
  EXPECT_EQ(text->lowerCharAt(0), u'h');
  EXPECT_EQ(text->upperCharAt(5), u' ');
  EXPECT_EQ(text->charAt(100), u'\0');
  text->toLowerCase();
  EXPECT_EQ(text->view(), u"hello world");

  // The C runtime's locale decides beyond ASCII.
  if (std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr) {
    Buffer accented = of(u"\u00E9t\u00E9");
    accented->toUpperCase();
    EXPECT_EQ(accented->view(), u"\u00C9T\u00C9");
    uint32_t pos = 0;
    EXPECT_TRUE(of(u"caf\u00C9")->findIgnoreCase(u"\u00E9", pos));
    EXPECT_FALSE(of(u"caf\u00C9")->indexOfIgnoreCase(u'\u00E9', pos));  // folds A-Z only
    std::setlocale(LC_CTYPE, "C");
  }
}

struct Utf8Case {
  std::string bytes;
  std::u16string units;
};

TEST(StrBufferTest, Utf8RoundTrips) {
  const Utf8Case cases[] = {
      {"", u""},
      {"plain", u"plain"},
      {"\xC3\xA9", u"\u00E9"},
      {"\xE2\x82\xAC", u"\u20AC"},
      {"\xEF\xBF\xBF", u"\uFFFF"},
      {"\xF0\x9F\x98\x80", u"\U0001F600"},
      {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
      {"a\xF0\x90\x80\x80z", u"a\U00010000z"},
  };
  for (const auto& c : cases) {
    Buffer text = StrBuffer::make();
    text->assignUtf8(c.bytes);
    EXPECT_EQ(text->view(), c.units) << c.bytes;
    EXPECT_EQ(text->toUtf8String(), c.bytes);
  }
}

TEST(StrBufferTest, MalformedUtf8BecomesOneReplacementPerMaximalSubpart) {
  const Utf8Case cases[] = {
      {"\x80", u"\uFFFD"},
      {"\xFF"
       "a",
       u"\uFFFDa"},
      {"\xE2\x82", u"\uFFFD"},  // cut short at the end
      {"\xE2\x82"
       "A",
       u"\uFFFDA"},  // cut short by ASCII
      {"\xF0\x9F\x98", u"\uFFFD"},
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong '/'
      {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},            // overlong, 3 bytes
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"\xF5\x80", u"\uFFFD\uFFFD"},
      {"\xC3\xC3\xA9", u"\uFFFD\u00E9"},
  };
  for (const auto& c : cases) {
    Buffer text = StrBuffer::make();
    text->assignUtf8(c.bytes);
    EXPECT_EQ(text->view(), c.units) << testing::PrintToString(c.bytes);
  }
  // n bounds the input: a heap copy without a terminator lets the sanitizer see any overread.
  std::vector<char> cut = {'\xF0', '\x9F'};
  Buffer text = StrBuffer::make();
  text->assignUtf8(cut.data(), false, 2);
  EXPECT_EQ(text->view(), u"\uFFFD");
  text->assignUtf8("ab\0cd", true, -1);
  EXPECT_EQ(text->view(), u"\uFFFDab");
}

TEST(StrBufferTest, Utf8OutputZeroByteAndLoneSurrogates) {
  Buffer text = of(u"\xD800x\xDC00");
  ArrayU08 bytes;
  text->toUtf8(bytes, false);
  EXPECT_EQ(bytesOf(bytes), (std::vector<uint8_t>{0xEF, 0xBF, 0xBD, 'x', 0xEF, 0xBF, 0xBD, 0}));
  Buffer ascii = of(u"ab");
  ascii->toUtf8(bytes, true, ZeroByte::AfterEnd);
  EXPECT_EQ(bytes.count(), 10u);
  EXPECT_EQ(bytes[10 - 1], 'b');
  EXPECT_EQ(bytes.data()[10], 0);
}

TEST(StrBufferTest, CodePages) {
  Buffer text = of(u"\u00E9\u20AC!");
  ArrayU08 bytes;
  ASSERT_TRUE(text->toCodePage(1252, bytes, false, ZeroByte::AfterEnd));
  EXPECT_EQ(bytesOf(bytes), (std::vector<uint8_t>{0xE9, 0x80, '!'}));
  Buffer back = StrBuffer::make();
  ASSERT_TRUE(back->assignCodePage(1252, reinterpret_cast<const char*>(bytes.data()), false));
  EXPECT_EQ(back->view(), text->view());
  // Undefined bytes and a cut-short double-byte character become U+FFFD.
  ASSERT_TRUE(back->assignCodePage(1252,
                                   "\x81"
                                   "A",
                                   false));
  EXPECT_EQ(back->view(), u"\uFFFDA");
  ASSERT_TRUE(back->assignCodePage(936, "\xC4\xE3\xBA", false));
  EXPECT_EQ(back->view(), u"\u4F60\uFFFD");
  // No bytes at all: nothing added, nothing copied.
  ASSERT_TRUE(back->assignCodePage(936, "", true, 0));
  EXPECT_EQ(back->view(), u"\u4F60\uFFFD");
  ASSERT_TRUE(back->assignCodePage(936, "", false, 0));
  EXPECT_TRUE(back->empty());

  // The OEM code page has é at 0x82 and no euro sign.
  ASSERT_TRUE(text->toOem(bytes, false));
  EXPECT_EQ(bytesOf(bytes), (std::vector<uint8_t>{0x82, '?', '!', 0}));
  ASSERT_TRUE(back->assignOem("\x82\xB0", false));
  EXPECT_EQ(back->view(), u"\u00E9\u2591");

  ASSERT_TRUE(of(u"A\U0001F600")->toCodePage(1201, bytes, false, ZeroByte::AfterEnd));
  EXPECT_EQ(bytesOf(bytes), (std::vector<uint8_t>{0, 'A', 0xD8, 0x3D, 0xDE, 0x00}));
  ASSERT_TRUE(back->assignCodePage(1201, reinterpret_cast<const char*>(bytes.data()), false, 6));
  EXPECT_EQ(back->view(), u"A\U0001F600");
  ASSERT_TRUE(of(u"A\u0100")->toCodePage(1200, bytes, false));
  EXPECT_EQ(bytesOf(bytes), (std::vector<uint8_t>{'A', 0, 0x00, 0x01, 0, 0}));
  ASSERT_TRUE(back->assignCodePage(1200, reinterpret_cast<const char*>(bytes.data()), true));
  EXPECT_EQ(back->view(), u"A\U0001F600A\u0100");

  ASSERT_TRUE(of(u"\u00E9")->toCodePage(65001, bytes, false, ZeroByte::AfterEnd));
  EXPECT_EQ(bytesOf(bytes), (std::vector<uint8_t>{0xC3, 0xA9}));

  EXPECT_FALSE(text->toCodePage(99999, bytes, false));
  EXPECT_FALSE(back->assignCodePage(99999, "abc", false));
  EXPECT_TRUE(back->empty());
}

TEST(StrBufferTest, NumberTexts) {
  Buffer text = StrBuffer::make();
  text->appendS64(INT64_MIN);
  text->appendChar(u' ');
  text->appendU64(UINT64_MAX);
  text->appendChar(u' ');
  text->appendU32(UINT32_MAX);
  text->appendChar(u' ');
  text->appendS32(-42);
  text->appendChar(u' ');
  text->appendS8(-128);
  text->appendChar(u' ');
  text->appendU16(65535);
  text->appendChar(u' ');
  text->appendF64(1.5);
  text->appendChar(u' ');
  text->appendF32(-0.25F);
  EXPECT_EQ(text->toUtf8String(),
            "-9223372036854775808 18446744073709551615 4294967295 -42 -128 65535 1.500000 "
            "-0.250000");
  text->assignU8(200);
  EXPECT_EQ(text->view(), u"200");
  text->assignS64(-7);
  EXPECT_EQ(text->view(), u"-7");
  text->assignF64(1e300);
  EXPECT_EQ(text->length(), 308u);  // 301 digits, the point and six decimals
  text->assign(u"x");
  EXPECT_EQ(text->view(), u"x");
}

TEST(StrBufferTest, NumbersFromText) {
  EXPECT_EQ(of(u"  42abc")->toS32(), 42);
  EXPECT_EQ(of(u"-17")->toS32(), -17);
  EXPECT_EQ(of(u"x")->toS32(), 0);
  EXPECT_EQ(of(u"99999999999")->toS32(), INT32_MAX);
  EXPECT_EQ(of(u"4294967295")->toU32(), UINT32_MAX);
  EXPECT_EQ(of(u"-9000000000")->toS64(), -9000000000LL);
  EXPECT_EQ(of(u"300")->toU8(), 44);
  EXPECT_DOUBLE_EQ(of(u"2.5e3")->toF64(), 2500.0);
  EXPECT_FLOAT_EQ(of(u"0.125")->toF32(), 0.125F);
}

TEST(StrBufferTest, IntegerAndHexTests) {
  struct Case {
    std::u16string_view text;
    bool integer;
    bool hex;
  };
  const Case cases[] = {
      {u"", false, false},       {u"-", false, false},   {u"-5", true, false},
      {u"007", true, true},      {u"5-", false, false},  {u"--5", false, false},
      {u"aF09", false, true},    {u"0x1", false, false}, {u" 1", false, false},
      {u"\uFF11", false, false},  // a full-width digit is not a digit here
  };
  for (const auto& c : cases) {
    Buffer text = of(c.text);
    EXPECT_EQ(text->isInteger(), c.integer) << text->toUtf8String();
    EXPECT_EQ(text->isHex(), c.hex) << text->toUtf8String();
  }
  Buffer hex = of(u"0aFf1");
  EXPECT_EQ(hex->hexDigitAt(3), 15);
  EXPECT_EQ(hex->hexDigitAt(9), 0);
  ArrayU08 bytes;
  hex->hexToBytes(bytes, false);
  EXPECT_EQ(bytesOf(bytes), (std::vector<uint8_t>{0x0A, 0xFF}));
}

TEST(StrBufferTest, HexDumps) {
  Buffer text = StrBuffer::make();
  const uint8_t bytes[] = {0x00, 0xAB, 0x0F};
  text->appendHexBytes(bytes);
  const uint16_t shorts[] = {0x1, 0xBEEF};
  text->appendHex16Array(shorts);
  EXPECT_EQ(text->toUtf8String(), "00ab0f0001beef");
  text->clear();
  s::col::ArrayS32 words;
  words.push(-1);
  words.push(0x10);
  text->appendHex32Array(words);
  const uint64_t wide[] = {0x0123456789ABCDEFULL};
  text->appendHex64Array(wide);
  text->appendHex32Pairs(wide);
  EXPECT_EQ(text->toUtf8String(), "ffffffff000000100123456789abcdef89abcdef01234567");
}

TEST(StrBufferTest, ByteStreamsCarryUtf16Le) {
  Buffer text = StrBuffer::make();
  const uint8_t input[] = {'h', 0, 'i', 0, 0xAC, 0x20};
  text->writeBytes(input, 3);  // half a unit stays pending
  EXPECT_EQ(text->view(), u"h");
  text->writeBytes(input + 3, 3);
  EXPECT_EQ(text->view(), u"hi\u20AC");

  uint8_t output[8] = {};
  EXPECT_EQ(text->readBytes(output, 5), 5u);
  EXPECT_EQ(text->readBytes(output + 5, 8), 1u);
  EXPECT_EQ(text->readBytes(output, 8), 0u);
  EXPECT_EQ(std::memcmp(output, input, 6), 0);
}

TEST(StrBufferTest, IteratorWalksBothWays) {
  Buffer text = of(u"abc");
  auto it = text->iteratorAtStart();
  std::u16string forward;
  while (it.hasNext()) {
    forward += it.next();
  }
  EXPECT_EQ(forward, u"abc");
  auto back = text->iteratorAt(2);
  EXPECT_EQ(back.previous(), u'b');
  EXPECT_EQ(back.previous(), u'a');
  EXPECT_FALSE(back.hasPrevious());
  EXPECT_EQ(text->iteratorAtEnd().index(), 3u);
}

}  // namespace

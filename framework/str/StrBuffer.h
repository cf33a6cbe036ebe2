#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "framework/base/IPoolable.h"
#include "framework/base/Pooled.h"
#include "framework/base/Streams.h"
#include "framework/col/Array.h"
#include "framework/str/IStr.h"
#include "framework/str/Iterator.h"

namespace s::str {
class StrArray;
}  // namespace s::str

namespace s::str::strbuffer {

namespace detail {
class StrBufferBases : public IStr,
                       public IPoolable,
                       public io::IByteInput,
                       public io::IByteOutput {};
}  // namespace detail

// Where a conversion puts the zero byte that ends its output.
enum class ZeroByte {
  Counted,  // appended and counted in the array
  AfterEnd  // written after the last counted byte
};

// The program's text: growable UTF-16 code units with a stored length, taken from its pool.
// The block is not kept terminated; the terminator is written only when a terminated text is
// handed out. Positions are code-unit indexes. Searches answer true and store the position
// in `pos`. The ignore-case searches fold only A-Z/a-z unless they say otherwise.
class StrBuffer final : public Pooled<StrBuffer, detail::StrBufferBases> {
 public:
  // The before-limit that stands for the end of the text.
  static constexpr uint32_t kEnd = 0xFFFFFF;

  StrBuffer() = default;
  ~StrBuffer() override = default;
  StrBuffer(const StrBuffer&) = delete;
  StrBuffer& operator=(const StrBuffer&) = delete;

  // New buffers holding the text or the concatenation.
  static PoolPtr<StrBuffer> of(std::u16string_view a);
  static PoolPtr<StrBuffer> of(std::u16string_view a, std::u16string_view b);
  static PoolPtr<StrBuffer> of(std::u16string_view a, std::u16string_view b, std::u16string_view c);
  static PoolPtr<StrBuffer> of(std::u16string_view a, std::u16string_view b, std::u16string_view c,
                               std::u16string_view d);

  // UTF-16LE byte order, then the shorter first.
  static int compare(std::u16string_view a, std::u16string_view b);
  // The C runtime's case-blind order, then the shorter first.
  static int compareIgnoreCase(std::u16string_view a, std::u16string_view b);
  static uint32_t hash(std::u16string_view text);
  static uint32_t hashIgnoreCase(std::u16string_view text);

  // --- IObject -------------------------------------------------------------------------
  using IStr::compareTo;
  using IStr::equals;
  int compareTo(const IObject& other, const IComparator<IObject>* comparator) const override;
  int compareToIgnoreCase(const IObject& other,
                          const IComparator<IObject>* comparator) const override;
  bool equals(const IObject& other, const IComparator<IObject>* comparator) const override;
  bool equalsIgnoreCase(const IObject& other,
                        const IComparator<IObject>* comparator) const override;
  uint32_t hashCode() const override { return hash(view()); }
  uint32_t hashCodeIgnoreCase() const override { return hashIgnoreCase(view()); }
  int compareTo(std::u16string_view other) const { return compare(view(), other); }
  bool equals(std::u16string_view other) const { return view() == other; }
  bool equalsIgnoreCase(std::u16string_view other) const;
  std::u16string_view className() const override { return u"s_str_strbuffer_StrBuffer"; }

  // --- Size and storage ----------------------------------------------------------------
  uint32_t length() const override { return length_; }
  uint32_t capacity() const { return capacity_; }
  bool empty() const { return length_ == 0; }
  // New units are zero.
  void setLength(uint32_t n);
  // Makes the block hold exactly n units if it holds fewer.
  void reserve(uint32_t n);
  void grow();
  void ensureCapacity(uint32_t n);
  // Length and read position 0; the block stays.
  void clear();
  // Frees the block.
  void freeMemory();
  void reset() override { freeMemory(); }

  char16_t* data() { return items_.get(); }
  const char16_t* data() const { return items_.get(); }
  const char16_t* text() const override;
  std::u16string_view view() const override { return {items_.get(), length_}; }
  // The terminator position after writing the terminator; null for an empty text.
  char16_t* end();
  const char16_t* end() const;
  char16_t* pointerAt(uint32_t i) { return items_.get() + i; }
  const char16_t* pointerAt(uint32_t i) const { return items_.get() + i; }

  // --- Units and case ------------------------------------------------------------------
  // 0 outside the text.
  char16_t charAt(uint32_t i) const { return i < length_ ? items_[i] : u'\0'; }
  char16_t lowerCharAt(uint32_t i) const;
  char16_t upperCharAt(uint32_t i) const;
  void reverse();
  // The C runtime's locale-aware case change, unit by unit.
  void toLowerCase();
  void toUpperCase();
  void capitalize();

  // --- Searches ------------------------------------------------------------------------
  bool indexOf(char16_t ch, uint32_t& pos, uint32_t from = 0) const;
  bool indexOfIgnoreCase(char16_t ch, uint32_t& pos, uint32_t from = 0) const;
  bool indexOfAny(std::u16string_view chars, uint32_t& pos, uint32_t from = 0) const;
  bool indexOfAnyIgnoreCase(std::u16string_view chars, uint32_t& pos, uint32_t from = 0) const;
  bool lastIndexOf(char16_t ch, uint32_t& pos, uint32_t before = kEnd) const;
  bool lastIndexOfIgnoreCase(char16_t ch, uint32_t& pos, uint32_t before = kEnd) const;
  bool lastIndexOfAny(std::u16string_view chars, uint32_t& pos, uint32_t before = kEnd) const;
  bool lastIndexOfAnyIgnoreCase(std::u16string_view chars, uint32_t& pos,
                                uint32_t before = kEnd) const;
  // An empty text is never found. The ignore-case forms use the C runtime's case-blind
  // compare.
  bool find(std::u16string_view text, uint32_t& pos, uint32_t from = 0) const;
  bool findIgnoreCase(std::u16string_view text, uint32_t& pos, uint32_t from = 0) const;
  bool findLast(std::u16string_view text, uint32_t& pos, uint32_t before = kEnd) const;
  bool findLastIgnoreCase(std::u16string_view text, uint32_t& pos, uint32_t before = kEnd) const;

  // The n units at i equal text from textIndex; n = -1: the whole rest equals the whole
  // rest of text.
  bool equalsAt(uint32_t i, std::u16string_view text, uint32_t textIndex = 0, int64_t n = -1) const;
  bool equalsAtIgnoreCase(uint32_t i, std::u16string_view text, uint32_t textIndex = 0,
                          int64_t n = -1) const;
  bool startsWith(std::u16string_view text) const;
  bool startsWithIgnoreCase(std::u16string_view text) const;
  bool endsWith(std::u16string_view text) const;
  bool endsWithIgnoreCase(std::u16string_view text) const;

  // --- Trims (space, line feed, U+3000, tab, carriage return) ---------------------------
  void trimEnd() { trimEndChars(kWhitespace, 0); }
  // Never shortens below minLength.
  void trimEnd(uint32_t minLength) { trimEndChars(kWhitespace, minLength); }
  void trimEndChars(std::u16string_view chars) { trimEndChars(chars, 0); }
  void trimEndChars(std::u16string_view chars, uint32_t minLength);
  void trimStart() { trimStartChars(kWhitespace); }
  void trimStartChars(std::u16string_view chars);

  // --- Appends and edits ---------------------------------------------------------------
  void insertFront(std::u16string_view units);
  // Each byte becomes one unit (Latin-1).
  void appendAscii(std::string_view bytes);
  void append(std::u16string_view units);
  void append(const StrBuffer& other) { append(other.view()); }
  void appendChar(char16_t ch);
  // Two units for a character above U+FFFF.
  void appendCodePoint(char32_t ch);
  // Narrow system text: UTF-8 on this platform.
  void appendAnsiText(std::string_view bytes);

  void appendS64(int64_t v);
  void appendU64(uint64_t v);
  void appendS32(int32_t v);
  void appendU32(uint32_t v);
  void appendS16(int16_t v) { appendS32(v); }
  void appendU16(uint16_t v) { appendU32(v); }
  void appendS8(int8_t v) { appendS32(v); }
  void appendU8(uint8_t v) { appendU32(v); }
  void appendF64(double v);
  void appendF32(float v) { appendF64(v); }

  void assign(std::u16string_view units);
  void assign(const StrBuffer& other) { assign(other.view()); }
  void assignS64(int64_t v);
  void assignU64(uint64_t v);
  void assignS32(int32_t v);
  void assignU32(uint32_t v);
  void assignS16(int16_t v) { assignS32(v); }
  void assignU16(uint16_t v) { assignU32(v); }
  void assignS8(int8_t v) { assignS32(v); }
  void assignU8(uint8_t v) { assignU32(v); }
  void assignF64(double v);
  void assignF32(float v) { assignF64(v); }

  // Lower-case hex, no separators: two digits per byte, 4 per 16-bit, 8 per 32-bit and 16
  // per 64-bit element.
  void appendHexBytes(std::span<const uint8_t> bytes);
  void appendHexBytes(const col::ArrayU08& bytes);
  void appendHex16Array(std::span<const uint16_t> values);
  void appendHex32Array(std::span<const uint32_t> values);
  void appendHex32Array(const col::ArrayU32& values);
  void appendHex32Array(const col::ArrayS32& values);
  void appendHex64Array(std::span<const uint64_t> values);
  void appendHex64Array(const col::ArrayS64& values);
  // Each 64-bit element as two 8-digit words, the low word first.
  void appendHex32Pairs(std::span<const uint64_t> values);

  // Every occurrence, left to right, never re-scanning inserted text; answers the count.
  uint32_t replaceAll(std::u16string_view from, std::u16string_view to);
  uint32_t replaceAllIgnoreCase(std::u16string_view from, std::u16string_view to);

  // Drops the units before start and from end on.
  void keepRange(uint32_t start, uint32_t end);

  // --- New buffers --------------------------------------------------------------------
  // Holding what write(buffer) writes into it.
  template <class Write>
  static PoolPtr<StrBuffer> written(Write write) {
    PoolPtr<StrBuffer> text = make();
    write(*text);
    return text;
  }
  PoolPtr<StrBuffer> copy() const { return of(view()); }
  // Units start..end-1, end clamped to the length.
  PoolPtr<StrBuffer> substring(uint32_t start, uint32_t end = kEnd) const;
  // The units before the last occurrence before the limit; empty when there is none.
  PoolPtr<StrBuffer> prefixBeforeLast(char16_t ch, uint32_t before = kEnd) const;
  PoolPtr<StrBuffer> prefixBeforeLastIgnoreCase(char16_t ch, uint32_t before = kEnd) const;
  PoolPtr<StrBuffer> prefixBeforeLastAny(std::u16string_view chars, uint32_t before = kEnd) const;
  PoolPtr<StrBuffer> prefixBeforeLastAnyIgnoreCase(std::u16string_view chars,
                                                   uint32_t before = kEnd) const;
  PoolPtr<StrBuffer> prefixBeforeLast(std::u16string_view text, uint32_t before = kEnd) const;
  PoolPtr<StrBuffer> prefixBeforeLastIgnoreCase(std::u16string_view text,
                                                uint32_t before = kEnd) const;
  // The pieces between occurrences of ch; empty pieces are left out.
  PoolPtr<StrArray> split(char16_t ch) const;

  // --- Byte encodings ------------------------------------------------------------------
  // Lone surrogates are written as U+FFFD.
  void toUtf8(col::ArrayU08& bytes, bool append, ZeroByte zero = ZeroByte::Counted) const;
  std::string toUtf8String() const;
  // n = -1: up to the zero byte. Invalid sequences become U+FFFD, one per maximal subpart;
  // never reads past n bytes.
  void assignUtf8(const char* bytes, bool append, int64_t n = -1);
  void assignUtf8(std::string_view bytes, bool append = false);
  // 1200 (UTF-16LE) and 1201 (UTF-16BE) are copied, 65001 is UTF-8, others go through
  // iconv as "CP<n>". False for a code page the system cannot convert.
  bool toCodePage(uint32_t codePage, col::ArrayU08& bytes, bool append,
                  ZeroByte zero = ZeroByte::Counted) const;
  bool assignCodePage(uint32_t codePage, const char* bytes, bool append, int64_t n = -1);
  // The OEM code page: CP437 on this platform.
  static constexpr uint32_t kOemCodePage = 437;
  bool toOem(col::ArrayU08& bytes, bool append, ZeroByte zero = ZeroByte::Counted) const {
    return toCodePage(kOemCodePage, bytes, append, zero);
  }
  bool assignOem(const char* bytes, bool append, int64_t n = -1) {
    return assignCodePage(kOemCodePage, bytes, append, n);
  }

  // --- Numbers from text (the C runtime's decimal conversions; 0 for none) -------------
  int32_t toS32() const;
  uint32_t toU32() const { return static_cast<uint32_t>(toS64()); }
  int16_t toS16() const { return static_cast<int16_t>(toS32()); }
  uint16_t toU16() const { return static_cast<uint16_t>(toS32()); }
  int8_t toS8() const { return static_cast<int8_t>(toS32()); }
  uint8_t toU8() const { return static_cast<uint8_t>(toS32()); }
  int64_t toS64() const;
  float toF32() const;
  double toF64() const;

  // All units 0-9/a-f/A-F and at least one.
  bool isHex() const;
  // The value of the hex digit at i; 0 for anything else.
  uint8_t hexDigitAt(uint32_t i) const;
  // Pairs of digits to bytes; an odd last digit is dropped.
  void hexToBytes(col::ArrayU08& bytes, bool append) const;
  // At least one digit, all digits, with an optional leading "-" before them.
  bool isInteger() const;

  Iterator iteratorAtStart() const { return {*this, 0}; }
  Iterator iteratorAtEnd() const { return {*this, length_}; }
  Iterator iteratorAt(uint32_t i) const { return {*this, i < length_ ? i : length_}; }

  // --- Byte streams over the UTF-16LE text ---------------------------------------------
  size_t readBytes(void* destination, size_t n) override;
  // An odd byte count leaves half a unit pending for the next write.
  void writeBytes(const void* source, size_t n) override;

 private:
  // equalsAt and its ignore-case form; ignoreCase folds only A-Z/a-z.
  bool matchesAt(uint32_t i, std::u16string_view text, uint32_t textIndex, int64_t n,
                 bool ignoreCase) const;
  static constexpr std::u16string_view kWhitespace = u" \n\u3000\t\r";

  void reallocate(uint32_t capacity);
  // Room for n more units; answers where they go.
  char16_t* extend(uint32_t n);
  bool aliases(std::u16string_view text) const;
  uint32_t replace(std::u16string_view from, std::u16string_view to, bool ignoreCase);
  bool findUnit(char16_t ch, bool ignoreCase, uint32_t& pos, uint32_t from) const;
  bool findLastUnit(char16_t ch, bool ignoreCase, uint32_t& pos, uint32_t before) const;
  bool findAny(std::u16string_view chars, bool ignoreCase, uint32_t& pos, uint32_t from) const;
  bool findLastAny(std::u16string_view chars, bool ignoreCase, uint32_t& pos,
                   uint32_t before) const;
  PoolPtr<StrBuffer> prefixFound(bool found, uint32_t pos) const;
  template <class Append>
  void assignNumber(Append append);

  std::unique_ptr<char16_t[]> items_;
  uint32_t length_ = 0;
  uint32_t capacity_ = 0;
  uint32_t readPosition_ = 0;
  // The first byte of a unit whose second byte has not been written yet.
  uint8_t pendingByte_ = 0;
  bool hasPending_ = false;
};

}  // namespace s::str::strbuffer

namespace s::str {
using strbuffer::StrBuffer;
using strbuffer::ZeroByte;
}  // namespace s::str

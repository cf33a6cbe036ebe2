#include "framework/str/StrBuffer.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <mutex>
#include <string>
#include <vector>

#include <iconv.h>

#include "framework/base/Growth.h"
#include "framework/base/ObjLocker.h"
#include "framework/str/StrArray.h"
#include "framework/str/Utf8.h"

// The byte streams and the UTF-16LE code pages copy the block as it lies in memory.
static_assert(std::endian::native == std::endian::little);

namespace s::str::strbuffer {

namespace {

constexpr char16_t kEmptyText[1] = {u'\0'};
constexpr uint32_t kUtf16Le = 1200;
constexpr uint32_t kUtf16Be = 1201;
constexpr uint32_t kUtf8 = 65001;

char16_t lowerAscii(char16_t c) {
  return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c;
}
char16_t upperAscii(char16_t c) {
  return c >= u'a' && c <= u'z' ? c - (u'a' - u'A') : c;
}

bool sameUnit(char16_t a, char16_t b, bool ignoreCase) {
  return a == b || (ignoreCase && lowerAscii(a) == lowerAscii(b));
}

bool sameUnits(const char16_t* a, const char16_t* b, size_t n, bool ignoreCase) {
  for (size_t i = 0; i < n; ++i) {
    if (!sameUnit(a[i], b[i], ignoreCase)) {
      return false;
    }
  }
  return true;
}

wint_t lowerLocale(char16_t c) {
  return std::towlower(c);
}

bool sameUnitsLocale(const char16_t* a, const char16_t* b, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    if (lowerLocale(a[i]) != lowerLocale(b[i])) {
      return false;
    }
  }
  return true;
}

char16_t changeCase(char16_t c, wint_t (*change)(wint_t)) {
  wint_t changed = change(c);
  return changed <= 0xFFFF ? static_cast<char16_t>(changed) : c;
}

bool contains(std::u16string_view chars, char16_t ch, bool ignoreCase) {
  return std::any_of(chars.begin(), chars.end(),
                     [&](char16_t c) { return sameUnit(c, ch, ignoreCase); });
}

int hexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') {
    return c - u'0';
  }
  if (c >= u'a' && c <= u'f') {
    return c - u'a' + 10;
  }
  if (c >= u'A' && c <= u'F') {
    return c - u'A' + 10;
  }
  return -1;
}

// The ASCII part of the text, for the C runtime's number parsers; a non-ASCII unit ends it.
std::string asciiPrefix(std::u16string_view text) {
  std::string ascii;
  ascii.reserve(text.size());
  for (char16_t c : text) {
    if (c == 0 || c >= 0x80) {
      break;
    }
    ascii += static_cast<char>(c);
  }
  return ascii;
}

// The bytes of the zero terminator a code page uses.
uint32_t zeroSize(uint32_t codePage) {
  return codePage == kUtf16Le || codePage == kUtf16Be ? 2 : 1;
}

void finishBytes(col::ArrayU08& bytes, ZeroByte zero, uint32_t size) {
  uint32_t count = bytes.count();
  bytes.ensureCapacity(count + size);
  std::memset(bytes.data() + count, 0, size);
  if (zero == ZeroByte::Counted) {
    bytes.setCount(count + size);
  }
}

// Length of a zero-terminated run of bytes (n >= 0 is taken as given).
size_t measured(const char* bytes, int64_t n, uint32_t unitSize) {
  if (bytes == nullptr) {
    return 0;
  }
  if (n >= 0) {
    return static_cast<size_t>(n);
  }
  if (unitSize == 1) {
    return std::strlen(bytes);
  }
  size_t i = 0;
  while (bytes[i] != 0 || bytes[i + 1] != 0) {
    i += 2;
  }
  return i;
}

class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (valid()) {
      iconv_close(cd_);
    }
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  // iconv_open reports failure as (iconv_t)-1.
  bool valid() const {
    return cd_ != reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr)
  }

  // Converts all of the input. An input sequence that cannot be converted is skipped by
  // `skip` bytes (answered by the callback from the remaining input) and `replacement` is
  // written in its place.
  template <class Skip>
  std::vector<char> convert(const char* in, size_t n, std::string_view replacement, Skip skip) {
    std::vector<char> out(n * 2 + 16);
    auto* input = const_cast<char*>(in);  // iconv's signature; the input is not written
    size_t inLeft = n;
    size_t used = 0;
    // Once the input is converted, one more call flushes any pending shift state.
    bool flushing = false;
    for (;;) {
      char* output = out.data() + used;
      size_t outLeft = out.size() - used;
      size_t result = flushing ? iconv(cd_, nullptr, nullptr, &output, &outLeft)
                               : iconv(cd_, &input, &inLeft, &output, &outLeft);
      used = static_cast<size_t>(output - out.data());
      if (result != static_cast<size_t>(-1)) {
        if (flushing) {
          break;
        }
        flushing = true;
        continue;
      }
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      if (flushing) {
        break;
      }
      // EILSEQ (not convertible) or EINVAL (cut short at the end).
      size_t skipped = std::min(inLeft, skip(input, inLeft));
      if (skipped == 0) {
        break;
      }
      input += skipped;
      inLeft -= skipped;
      if (out.size() - used < replacement.size()) {
        out.resize(out.size() * 2 + replacement.size());
      }
      std::memcpy(out.data() + used, replacement.data(), replacement.size());
      used += replacement.size();
    }
    out.resize(used);
    return out;
  }

 private:
  iconv_t cd_;
};

std::string iconvName(uint32_t codePage) {
  return "CP" + std::to_string(codePage);
}

// The shared scratch buffer of the assign number forms.
thread::ObjLocker& numberScratch() {
  struct Scratch {
    Scratch() { locker.own(StrBuffer::take(), StrBuffer::pool()); }
    thread::ObjLocker locker;
  };
  static Scratch scratch;
  return scratch.locker;
}

}  // namespace

// --- Factories and comparison ------------------------------------------------------------

PoolPtr<StrBuffer> StrBuffer::of(std::u16string_view a) {
  return of(a, {}, {}, {});
}

PoolPtr<StrBuffer> StrBuffer::of(std::u16string_view a, std::u16string_view b) {
  return of(a, b, {}, {});
}

PoolPtr<StrBuffer> StrBuffer::of(std::u16string_view a, std::u16string_view b,
                                 std::u16string_view c) {
  return of(a, b, c, {});
}

PoolPtr<StrBuffer> StrBuffer::of(std::u16string_view a, std::u16string_view b,
                                 std::u16string_view c, std::u16string_view d) {
  PoolPtr<StrBuffer> buffer = make();
  size_t total = a.size() + b.size() + c.size() + d.size();
  if (total > 0) {
    buffer->ensureCapacity(static_cast<uint32_t>(total));
  }
  buffer->append(a);
  buffer->append(b);
  buffer->append(c);
  buffer->append(d);
  return buffer;
}

int StrBuffer::compare(std::u16string_view a, std::u16string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    if (a[i] != b[i]) {
      // UTF-16LE: the low byte of a unit comes first.
      unsigned lowA = a[i] & 0xFFu;
      unsigned lowB = b[i] & 0xFFu;
      if (lowA != lowB) {
        return lowA < lowB ? -1 : 1;
      }
      return (a[i] >> 8) < (b[i] >> 8) ? -1 : 1;
    }
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

int StrBuffer::compareIgnoreCase(std::u16string_view a, std::u16string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    wint_t x = lowerLocale(a[i]);
    wint_t y = lowerLocale(b[i]);
    if (x != y) {
      return x < y ? -1 : 1;
    }
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

uint32_t StrBuffer::hash(std::u16string_view text) {
  uint32_t h = 0;
  for (char16_t c : text) {
    h = ((h << 1) | ((h >> 30) & 1)) ^ c;
  }
  return h;
}

uint32_t StrBuffer::hashIgnoreCase(std::u16string_view text) {
  uint32_t h = 0;
  for (char16_t c : text) {
    h = ((h << 1) | ((h >> 30) & 1)) ^ lowerAscii(c);
  }
  return h;
}

int StrBuffer::compareTo(const IObject& other, const IComparator<IObject>* /*comparator*/) const {
  if (const auto* text = dynamic_cast<const IStr*>(&other)) {
    return compare(view(), text->view());
  }
  return IStr::compareTo(other, nullptr);
}

int StrBuffer::compareToIgnoreCase(const IObject& other,
                                   const IComparator<IObject>* /*comparator*/) const {
  if (const auto* text = dynamic_cast<const IStr*>(&other)) {
    return compareIgnoreCase(view(), text->view());
  }
  return IStr::compareTo(other, nullptr);
}

bool StrBuffer::equals(const IObject& other, const IComparator<IObject>* comparator) const {
  if (comparator != nullptr) {
    return comparator->compare(*this, other) == 0;
  }
  if (const auto* text = dynamic_cast<const IStr*>(&other)) {
    return view() == text->view();
  }
  return this == &other;
}

bool StrBuffer::equalsIgnoreCase(const IObject& other,
                                 const IComparator<IObject>* comparator) const {
  if (comparator != nullptr) {
    return comparator->compareIgnoreCase(*this, other) == 0;
  }
  if (const auto* text = dynamic_cast<const IStr*>(&other)) {
    return equalsIgnoreCase(text->view());
  }
  return this == &other;
}

bool StrBuffer::equalsIgnoreCase(std::u16string_view other) const {
  return other.size() == length_ && sameUnitsLocale(data(), other.data(), length_);
}

// --- Size and storage ---------------------------------------------------------------------

void StrBuffer::reallocate(uint32_t capacity) {
  // One more unit for the terminator.
  auto block = std::make_unique_for_overwrite<char16_t[]>(size_t{capacity} + 1);
  if (length_ > 0) {
    std::memcpy(block.get(), items_.get(), size_t{length_} * sizeof(char16_t));
  }
  items_ = std::move(block);
  capacity_ = capacity;
}

void StrBuffer::setLength(uint32_t n) {
  if (n > length_) {
    char16_t* added = extend(n - length_);
    std::fill(added, items_.get() + n, u'\0');
  }
  length_ = n;
}

void StrBuffer::reserve(uint32_t n) {
  if (n > capacity_) {
    reallocate(n);
  }
}

void StrBuffer::grow() {
  reallocate(grownCapacity(capacity_));
}

void StrBuffer::ensureCapacity(uint32_t n) {
  if (n > capacity_) {
    reallocate(capacityFor(capacity_, n));
  }
}

char16_t* StrBuffer::extend(uint32_t n) {
  if (n > UINT32_MAX - 1 - length_) {
    // A text of 4G units cannot be represented; there is no sound way to go on.
    std::abort();
  }
  ensureCapacity(length_ + n);
  char16_t* at = items_.get() + length_;
  length_ += n;
  return at;
}

void StrBuffer::clear() {
  length_ = 0;
  readPosition_ = 0;
  hasPending_ = false;
}

void StrBuffer::freeMemory() {
  items_.reset();
  capacity_ = 0;
  clear();
}

const char16_t* StrBuffer::text() const {
  if (!items_) {
    return kEmptyText;
  }
  items_[length_] = u'\0';
  return items_.get();
}

char16_t* StrBuffer::end() {
  if (length_ == 0) {
    return nullptr;
  }
  items_[length_] = u'\0';
  return items_.get() + length_;
}

const char16_t* StrBuffer::end() const {
  if (length_ == 0) {
    return nullptr;
  }
  items_[length_] = u'\0';
  return items_.get() + length_;
}

bool StrBuffer::aliases(std::u16string_view text) const {
  if (!items_ || text.empty()) {
    return false;
  }
  std::less_equal<const char16_t*> le;
  return le(items_.get(), text.data()) && le(text.data(), items_.get() + capacity_);
}

// --- Units and case -----------------------------------------------------------------------

char16_t StrBuffer::lowerCharAt(uint32_t i) const {
  return lowerAscii(charAt(i));
}

char16_t StrBuffer::upperCharAt(uint32_t i) const {
  return upperAscii(charAt(i));
}

void StrBuffer::reverse() {
  std::reverse(data(), data() + length_);
}

void StrBuffer::toLowerCase() {
  for (uint32_t i = 0; i < length_; ++i) {
    items_[i] = changeCase(items_[i], std::towlower);
  }
}

void StrBuffer::toUpperCase() {
  for (uint32_t i = 0; i < length_; ++i) {
    items_[i] = changeCase(items_[i], std::towupper);
  }
}

void StrBuffer::capitalize() {
  toLowerCase();
  if (length_ > 0) {
    items_[0] = upperAscii(items_[0]);
  }
}

// --- Searches -----------------------------------------------------------------------------

bool StrBuffer::findUnit(char16_t ch, bool ignoreCase, uint32_t& pos, uint32_t from) const {
  for (uint32_t i = from; i < length_; ++i) {
    if (sameUnit(items_[i], ch, ignoreCase)) {
      pos = i;
      return true;
    }
  }
  return false;
}

bool StrBuffer::findLastUnit(char16_t ch, bool ignoreCase, uint32_t& pos, uint32_t before) const {
  for (uint32_t i = std::min(before, length_); i-- > 0;) {
    if (sameUnit(items_[i], ch, ignoreCase)) {
      pos = i;
      return true;
    }
  }
  return false;
}

bool StrBuffer::findAny(std::u16string_view chars, bool ignoreCase, uint32_t& pos,
                        uint32_t from) const {
  for (uint32_t i = from; i < length_; ++i) {
    if (contains(chars, items_[i], ignoreCase)) {
      pos = i;
      return true;
    }
  }
  return false;
}

bool StrBuffer::findLastAny(std::u16string_view chars, bool ignoreCase, uint32_t& pos,
                            uint32_t before) const {
  for (uint32_t i = std::min(before, length_); i-- > 0;) {
    if (contains(chars, items_[i], ignoreCase)) {
      pos = i;
      return true;
    }
  }
  return false;
}

bool StrBuffer::indexOf(char16_t ch, uint32_t& pos, uint32_t from) const {
  return findUnit(ch, false, pos, from);
}

bool StrBuffer::indexOfIgnoreCase(char16_t ch, uint32_t& pos, uint32_t from) const {
  return findUnit(ch, true, pos, from);
}

bool StrBuffer::indexOfAny(std::u16string_view chars, uint32_t& pos, uint32_t from) const {
  return findAny(chars, false, pos, from);
}

bool StrBuffer::indexOfAnyIgnoreCase(std::u16string_view chars, uint32_t& pos,
                                     uint32_t from) const {
  return findAny(chars, true, pos, from);
}

bool StrBuffer::lastIndexOf(char16_t ch, uint32_t& pos, uint32_t before) const {
  return findLastUnit(ch, false, pos, before);
}

bool StrBuffer::lastIndexOfIgnoreCase(char16_t ch, uint32_t& pos, uint32_t before) const {
  return findLastUnit(ch, true, pos, before);
}

bool StrBuffer::lastIndexOfAny(std::u16string_view chars, uint32_t& pos, uint32_t before) const {
  return findLastAny(chars, false, pos, before);
}

bool StrBuffer::lastIndexOfAnyIgnoreCase(std::u16string_view chars, uint32_t& pos,
                                         uint32_t before) const {
  return findLastAny(chars, true, pos, before);
}

bool StrBuffer::find(std::u16string_view text, uint32_t& pos, uint32_t from) const {
  if (text.empty() || from >= length_) {
    return false;
  }
  size_t at = view().find(text, from);
  if (at == std::u16string_view::npos) {
    return false;
  }
  pos = static_cast<uint32_t>(at);
  return true;
}

bool StrBuffer::findIgnoreCase(std::u16string_view text, uint32_t& pos, uint32_t from) const {
  if (text.empty() || text.size() > length_) {
    return false;
  }
  wint_t first = lowerLocale(text[0]);
  uint32_t last = length_ - static_cast<uint32_t>(text.size());
  for (uint32_t i = from; i <= last; ++i) {
    if (lowerLocale(items_[i]) == first &&
        sameUnitsLocale(data() + i + 1, text.data() + 1, text.size() - 1)) {
      pos = i;
      return true;
    }
  }
  return false;
}

bool StrBuffer::findLast(std::u16string_view text, uint32_t& pos, uint32_t before) const {
  before = std::min(before, length_);
  if (text.empty() || before == 0) {
    return false;
  }
  size_t at = view().rfind(text, before - 1);
  if (at == std::u16string_view::npos) {
    return false;
  }
  pos = static_cast<uint32_t>(at);
  return true;
}

bool StrBuffer::findLastIgnoreCase(std::u16string_view text, uint32_t& pos, uint32_t before) const {
  if (text.empty() || text.size() > length_) {
    return false;
  }
  uint32_t start =
      std::min(std::min(before, length_), length_ - static_cast<uint32_t>(text.size()) + 1);
  for (uint32_t i = start; i-- > 0;) {
    if (sameUnitsLocale(data() + i, text.data(), text.size())) {
      pos = i;
      return true;
    }
  }
  return false;
}

bool StrBuffer::matchesAt(uint32_t i, std::u16string_view text, uint32_t textIndex, int64_t n,
                          bool ignoreCase) const {
  if (i > length_ || textIndex > text.size()) {
    return false;
  }
  size_t count = 0;
  if (n < 0) {
    count = length_ - i;
    if (count != text.size() - textIndex) {
      return false;
    }
  } else {
    count = static_cast<size_t>(n);
    if (count > length_ - i || count > text.size() - textIndex) {
      return false;
    }
  }
  return sameUnits(data() + i, text.data() + textIndex, count, ignoreCase);
}

bool StrBuffer::equalsAt(uint32_t i, std::u16string_view text, uint32_t textIndex,
                         int64_t n) const {
  return matchesAt(i, text, textIndex, n, false);
}

bool StrBuffer::equalsAtIgnoreCase(uint32_t i, std::u16string_view text, uint32_t textIndex,
                                   int64_t n) const {
  return matchesAt(i, text, textIndex, n, true);
}

bool StrBuffer::startsWith(std::u16string_view text) const {
  return equalsAt(0, text, 0, static_cast<int64_t>(text.size()));
}

bool StrBuffer::startsWithIgnoreCase(std::u16string_view text) const {
  return equalsAtIgnoreCase(0, text, 0, static_cast<int64_t>(text.size()));
}

bool StrBuffer::endsWith(std::u16string_view text) const {
  return text.size() <= length_ && equalsAt(length_ - static_cast<uint32_t>(text.size()), text);
}

bool StrBuffer::endsWithIgnoreCase(std::u16string_view text) const {
  return text.size() <= length_ &&
         equalsAtIgnoreCase(length_ - static_cast<uint32_t>(text.size()), text);
}

// --- Trims --------------------------------------------------------------------------------

void StrBuffer::trimEndChars(std::u16string_view chars, uint32_t minLength) {
  while (length_ > minLength && contains(chars, items_[length_ - 1], false)) {
    --length_;
  }
}

void StrBuffer::trimStartChars(std::u16string_view chars) {
  uint32_t n = 0;
  while (n < length_ && contains(chars, items_[n], false)) {
    ++n;
  }
  keepRange(n, length_);
}

// --- Appends and edits --------------------------------------------------------------------

void StrBuffer::insertFront(std::u16string_view units) {
  if (units.empty()) {
    return;
  }
  std::u16string own;
  if (aliases(units)) {
    own = units;
    units = own;
  }
  auto n = static_cast<uint32_t>(units.size());
  uint32_t old = length_;
  extend(n);
  std::memmove(data() + n, data(), size_t{old} * sizeof(char16_t));
  std::memcpy(data(), units.data(), size_t{n} * sizeof(char16_t));
}

void StrBuffer::appendAscii(std::string_view bytes) {
  char16_t* at = extend(static_cast<uint32_t>(bytes.size()));
  for (char b : bytes) {
    *at++ = static_cast<unsigned char>(b);
  }
}

void StrBuffer::append(std::u16string_view units) {
  if (units.empty()) {
    return;
  }
  // The units may lie in this buffer's own block, which growing replaces.
  size_t offset = aliases(units) ? static_cast<size_t>(units.data() - data()) : SIZE_MAX;
  char16_t* at = extend(static_cast<uint32_t>(units.size()));
  const char16_t* source = offset == SIZE_MAX ? units.data() : data() + offset;
  std::memmove(at, source, units.size() * sizeof(char16_t));
}

void StrBuffer::appendChar(char16_t ch) {
  *extend(1) = ch;
}

void StrBuffer::appendCodePoint(char32_t ch) {
  if (ch < 0x10000) {
    appendChar(static_cast<char16_t>(ch));
  } else if (ch <= 0x10FFFF) {
    ch -= 0x10000;
    char16_t* at = extend(2);
    at[0] = static_cast<char16_t>(0xD800 + (ch >> 10));
    at[1] = static_cast<char16_t>(0xDC00 + (ch & 0x3FF));
  } else {
    appendChar(u'\uFFFD');
  }
}

void StrBuffer::appendAnsiText(std::string_view bytes) {
  assignUtf8(bytes, true);
}

void StrBuffer::appendS64(int64_t v) {
  char text[32];
  int n = std::snprintf(text, sizeof text, "%lld", static_cast<long long>(v));
  appendAscii({text, static_cast<size_t>(n)});
}

void StrBuffer::appendU64(uint64_t v) {
  char text[32];
  int n = std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(v));
  appendAscii({text, static_cast<size_t>(n)});
}

void StrBuffer::appendS32(int32_t v) {
  char text[16];
  int n = std::snprintf(text, sizeof text, "%d", v);
  appendAscii({text, static_cast<size_t>(n)});
}

void StrBuffer::appendU32(uint32_t v) {
  char text[16];
  int n = std::snprintf(text, sizeof text, "%u", v);
  appendAscii({text, static_cast<size_t>(n)});
}

void StrBuffer::appendF64(double v) {
  // "%f" of the largest double has 316 characters.
  char text[400];
  int n = std::snprintf(text, sizeof text, "%f", v);
  appendAscii({text, static_cast<size_t>(std::min<int>(n, sizeof text - 1))});
}

void StrBuffer::assign(std::u16string_view units) {
  if (aliases(units)) {
    auto offset = static_cast<uint32_t>(units.data() - data());
    keepRange(offset, offset + static_cast<uint32_t>(units.size()));
    return;
  }
  clear();
  append(units);
}

template <class Append>
void StrBuffer::assignNumber(Append append) {
  thread::ObjLocker& locker = numberScratch();
  std::scoped_lock guard(locker);
  auto* scratch = locker.objectAs<StrBuffer>();
  scratch->clear();
  append(*scratch);
  assign(scratch->view());
}

void StrBuffer::assignS64(int64_t v) {
  assignNumber([v](StrBuffer& s) { s.appendS64(v); });
}

void StrBuffer::assignU64(uint64_t v) {
  assignNumber([v](StrBuffer& s) { s.appendU64(v); });
}

void StrBuffer::assignS32(int32_t v) {
  assignNumber([v](StrBuffer& s) { s.appendS32(v); });
}

void StrBuffer::assignU32(uint32_t v) {
  assignNumber([v](StrBuffer& s) { s.appendU32(v); });
}

void StrBuffer::assignF64(double v) {
  assignNumber([v](StrBuffer& s) { s.appendF64(v); });
}

namespace {

void writeHex(char16_t* at, uint64_t value, int digits) {
  static constexpr char16_t kDigits[] = u"0123456789abcdef";
  for (int i = digits - 1; i >= 0; --i) {
    at[i] = kDigits[value & 15];
    value >>= 4;
  }
}

template <class T>
void appendHexValues(StrBuffer& out, const T* values, size_t n) {
  constexpr int kDigits = sizeof(T) * 2;
  uint32_t start = out.length();
  out.setLength(start + static_cast<uint32_t>(n * kDigits));
  char16_t* at = out.pointerAt(start);
  for (size_t i = 0; i < n; ++i) {
    writeHex(at + i * kDigits, static_cast<std::make_unsigned_t<T>>(values[i]), kDigits);
  }
}

}  // namespace

void StrBuffer::appendHexBytes(std::span<const uint8_t> bytes) {
  appendHexValues(*this, bytes.data(), bytes.size());
}

void StrBuffer::appendHexBytes(const col::ArrayU08& bytes) {
  appendHexValues(*this, bytes.data(), bytes.count());
}

void StrBuffer::appendHex16Array(std::span<const uint16_t> values) {
  appendHexValues(*this, values.data(), values.size());
}

void StrBuffer::appendHex32Array(std::span<const uint32_t> values) {
  appendHexValues(*this, values.data(), values.size());
}

void StrBuffer::appendHex32Array(const col::ArrayU32& values) {
  appendHexValues(*this, values.data(), values.count());
}

void StrBuffer::appendHex32Array(const col::ArrayS32& values) {
  appendHexValues(*this, values.data(), values.count());
}

void StrBuffer::appendHex64Array(std::span<const uint64_t> values) {
  appendHexValues(*this, values.data(), values.size());
}

void StrBuffer::appendHex64Array(const col::ArrayS64& values) {
  appendHexValues(*this, values.data(), values.count());
}

void StrBuffer::appendHex32Pairs(std::span<const uint64_t> values) {
  char16_t* at = extend(static_cast<uint32_t>(values.size() * 16));
  for (uint64_t value : values) {
    writeHex(at, value & 0xFFFFFFFFu, 8);
    writeHex(at + 8, value >> 32, 8);
    at += 16;
  }
}

uint32_t StrBuffer::replace(std::u16string_view from, std::u16string_view to, bool ignoreCase) {
  if (from.empty() || from.size() > length_) {
    return 0;
  }
  std::u16string ownFrom;
  std::u16string ownTo;
  if (aliases(from)) {
    ownFrom = from;
    from = ownFrom;
  }
  if (aliases(to)) {
    ownTo = to;
    to = ownTo;
  }
  size_t m = from.size();
  auto matchAt = [&](size_t i) {
    return i + m <= length_ && sameUnits(data() + i, from.data(), m, ignoreCase);
  };
  uint32_t count = 0;
  if (to.size() <= m) {
    // In place: the write position never passes the read position.
    size_t read = 0;
    size_t write = 0;
    while (read < length_) {
      if (matchAt(read)) {
        if (!to.empty()) {
          std::memmove(data() + write, to.data(), to.size() * sizeof(char16_t));
        }
        write += to.size();
        read += m;
        ++count;
      } else {
        items_[write++] = items_[read++];
      }
    }
    length_ = static_cast<uint32_t>(write);
    return count;
  }
  for (size_t i = 0; i < length_;) {
    if (matchAt(i)) {
      ++count;
      i += m;
    } else {
      ++i;
    }
  }
  if (count == 0) {
    return 0;
  }
  uint64_t newLength = length_ + uint64_t{count} * (to.size() - m);
  if (newLength >= UINT32_MAX) {
    std::abort();
  }
  uint32_t capacity = capacityFor(capacity_, static_cast<uint32_t>(newLength));
  auto block = std::make_unique_for_overwrite<char16_t[]>(size_t{capacity} + 1);
  size_t write = 0;
  for (size_t read = 0; read < length_;) {
    if (matchAt(read)) {
      std::memcpy(block.get() + write, to.data(), to.size() * sizeof(char16_t));
      write += to.size();
      read += m;
    } else {
      block[write++] = items_[read++];
    }
  }
  items_ = std::move(block);
  capacity_ = capacity;
  length_ = static_cast<uint32_t>(write);
  return count;
}

uint32_t StrBuffer::replaceAll(std::u16string_view from, std::u16string_view to) {
  return replace(from, to, false);
}

uint32_t StrBuffer::replaceAllIgnoreCase(std::u16string_view from, std::u16string_view to) {
  return replace(from, to, true);
}

void StrBuffer::keepRange(uint32_t start, uint32_t end) {
  end = std::min(end, length_);
  start = std::min(start, end);
  if (start > 0) {
    std::memmove(data(), data() + start, size_t{end - start} * sizeof(char16_t));
  }
  length_ = end - start;
}

// --- New buffers --------------------------------------------------------------------------

PoolPtr<StrBuffer> StrBuffer::substring(uint32_t start, uint32_t end) const {
  end = std::min(end, length_);
  start = std::min(start, end);
  return of(view().substr(start, end - start));
}

PoolPtr<StrBuffer> StrBuffer::prefixFound(bool found, uint32_t pos) const {
  return found ? of(view().substr(0, pos)) : make();
}

PoolPtr<StrBuffer> StrBuffer::prefixBeforeLast(char16_t ch, uint32_t before) const {
  uint32_t pos = 0;
  bool found = lastIndexOf(ch, pos, before);
  return prefixFound(found, pos);
}

PoolPtr<StrBuffer> StrBuffer::prefixBeforeLastIgnoreCase(char16_t ch, uint32_t before) const {
  uint32_t pos = 0;
  bool found = lastIndexOfIgnoreCase(ch, pos, before);
  return prefixFound(found, pos);
}

PoolPtr<StrBuffer> StrBuffer::prefixBeforeLastAny(std::u16string_view chars,
                                                  uint32_t before) const {
  uint32_t pos = 0;
  bool found = lastIndexOfAny(chars, pos, before);
  return prefixFound(found, pos);
}

PoolPtr<StrBuffer> StrBuffer::prefixBeforeLastAnyIgnoreCase(std::u16string_view chars,
                                                            uint32_t before) const {
  uint32_t pos = 0;
  bool found = lastIndexOfAnyIgnoreCase(chars, pos, before);
  return prefixFound(found, pos);
}

PoolPtr<StrBuffer> StrBuffer::prefixBeforeLast(std::u16string_view text, uint32_t before) const {
  uint32_t pos = 0;
  bool found = findLast(text, pos, before);
  return prefixFound(found, pos);
}

PoolPtr<StrBuffer> StrBuffer::prefixBeforeLastIgnoreCase(std::u16string_view text,
                                                         uint32_t before) const {
  uint32_t pos = 0;
  bool found = findLastIgnoreCase(text, pos, before);
  return prefixFound(found, pos);
}

PoolPtr<StrArray> StrBuffer::split(char16_t ch) const {
  PoolPtr<StrArray> pieces = StrArray::make();
  uint32_t start = 0;
  for (uint32_t i = 0; i <= length_; ++i) {
    if (i == length_ || items_[i] == ch) {
      if (i > start) {
        pieces->add(view().substr(start, i - start));
      }
      start = i + 1;
    }
  }
  return pieces;
}

// --- Byte encodings -----------------------------------------------------------------------

void StrBuffer::toUtf8(col::ArrayU08& bytes, bool append, ZeroByte zero) const {
  if (!append) {
    bytes.clear();
  }
  uint32_t start = bytes.count();
  bytes.ensureCapacity(start + 3 * length_ + 1);
  size_t written = utf8::encode(view(), bytes.data() + start);
  bytes.setCount(start + static_cast<uint32_t>(written));
  finishBytes(bytes, zero, 1);
}

std::string StrBuffer::toUtf8String() const {
  std::string out(size_t{length_} * 3, '\0');
  out.resize(utf8::encode(view(), reinterpret_cast<uint8_t*>(out.data())));
  return out;
}

void StrBuffer::assignUtf8(const char* bytes, bool append, int64_t n) {
  assignUtf8(std::string_view(bytes == nullptr ? "" : bytes, measured(bytes, n, 1)), append);
}

void StrBuffer::assignUtf8(std::string_view bytes, bool append) {
  if (!append) {
    clear();
  }
  uint32_t start = length_;
  // A byte never gives more than one unit.
  char16_t* at = extend(static_cast<uint32_t>(bytes.size()));
  size_t written = utf8::decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), at);
  length_ = start + static_cast<uint32_t>(written);
}

bool StrBuffer::toCodePage(uint32_t codePage, col::ArrayU08& bytes, bool append,
                           ZeroByte zero) const {
  if (codePage == kUtf8) {
    toUtf8(bytes, append, zero);
    return true;
  }
  if (codePage == kUtf16Le || codePage == kUtf16Be) {
    if (!append) {
      bytes.clear();
    }
    uint32_t start = bytes.count();
    bytes.append(data(), length_ * 2);
    if (codePage == kUtf16Be) {
      uint8_t* at = bytes.data() + start;
      for (uint32_t i = 0; i + 1 < length_ * 2; i += 2) {
        std::swap(at[i], at[i + 1]);
      }
    }
    finishBytes(bytes, zero, 2);
    return true;
  }
  Iconv converter(iconvName(codePage).c_str(), "UTF-16LE");
  if (!converter.valid()) {
    return false;
  }
  if (!append) {
    bytes.clear();
  }
  // A unit the code page lacks becomes "?", a surrogate pair as one character.
  std::vector<char> out =
      converter.convert(reinterpret_cast<const char*>(data()), size_t{length_} * 2, "?",
                        [](const char* in, size_t left) {
                          auto unit = [&](size_t i) {
                            return static_cast<char16_t>(static_cast<uint8_t>(in[i]) |
                                                         (static_cast<uint8_t>(in[i + 1]) << 8));
                          };
                          if (left >= 4 && unit(0) >= 0xD800 && unit(0) <= 0xDBFF &&
                              unit(2) >= 0xDC00 && unit(2) <= 0xDFFF) {
                            return size_t{4};
                          }
                          return size_t{2};
                        });
  bytes.append(out.data(), static_cast<uint32_t>(out.size()));
  finishBytes(bytes, zero, 1);
  return true;
}

bool StrBuffer::assignCodePage(uint32_t codePage, const char* bytes, bool append, int64_t n) {
  if (codePage == kUtf8) {
    assignUtf8(bytes, append, n);
    return true;
  }
  size_t size = measured(bytes, n, zeroSize(codePage));
  if (codePage == kUtf16Le || codePage == kUtf16Be) {
    if (!append) {
      clear();
    }
    auto units = static_cast<uint32_t>(size / 2);
    char16_t* at = extend(units);
    for (uint32_t i = 0; i < units; ++i) {
      auto first = static_cast<uint8_t>(bytes[2 * i]);
      auto second = static_cast<uint8_t>(bytes[2 * i + 1]);
      at[i] = codePage == kUtf16Le ? static_cast<char16_t>(first | (second << 8))
                                   : static_cast<char16_t>((first << 8) | second);
    }
    return true;
  }
  Iconv converter("UTF-16LE", iconvName(codePage).c_str());
  if (!append) {
    clear();
  }
  if (!converter.valid()) {
    return false;
  }
  static constexpr char kReplacement[] = {'\xFD', '\xFF'};
  std::vector<char> out = converter.convert(bytes, size, {kReplacement, 2},
                                            [](const char*, size_t) { return size_t{1}; });
  auto units = static_cast<uint32_t>(out.size() / 2);
  if (units > 0) {
    std::memcpy(extend(units), out.data(), size_t{units} * 2);
  }
  return true;
}

// --- Numbers from text --------------------------------------------------------------------

int32_t StrBuffer::toS32() const {
  int64_t value = toS64();
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

int64_t StrBuffer::toS64() const {
  std::string ascii = asciiPrefix(view());
  return std::strtoll(ascii.c_str(), nullptr, 10);
}

float StrBuffer::toF32() const {
  std::string ascii = asciiPrefix(view());
  return std::strtof(ascii.c_str(), nullptr);
}

double StrBuffer::toF64() const {
  std::string ascii = asciiPrefix(view());
  return std::strtod(ascii.c_str(), nullptr);
}

bool StrBuffer::isHex() const {
  return length_ > 0 &&
         std::all_of(data(), data() + length_, [](char16_t c) { return hexValue(c) >= 0; });
}

uint8_t StrBuffer::hexDigitAt(uint32_t i) const {
  return static_cast<uint8_t>(std::max(hexValue(charAt(i)), 0));
}

void StrBuffer::hexToBytes(col::ArrayU08& bytes, bool append) const {
  if (!append) {
    bytes.clear();
  }
  for (uint32_t i = 0; i + 1 < length_; i += 2) {
    bytes.push(static_cast<uint8_t>((hexDigitAt(i) << 4) | hexDigitAt(i + 1)));
  }
}

bool StrBuffer::isInteger() const {
  uint32_t first = length_ > 1 && items_[0] == u'-' ? 1 : 0;
  return length_ > 0 && std::all_of(data() + first, data() + length_,
                                    [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

// --- Byte streams -------------------------------------------------------------------------

size_t StrBuffer::readBytes(void* destination, size_t n) {
  size_t total = size_t{length_} * 2;
  if (readPosition_ >= total) {
    return 0;
  }
  n = std::min(n, total - readPosition_);
  std::memcpy(destination, reinterpret_cast<const uint8_t*>(data()) + readPosition_, n);
  readPosition_ += static_cast<uint32_t>(n);
  return n;
}

void StrBuffer::writeBytes(const void* source, size_t n) {
  const auto* in = static_cast<const uint8_t*>(source);
  if (n > 0 && hasPending_) {
    appendChar(static_cast<char16_t>(pendingByte_ | (in[0] << 8)));
    hasPending_ = false;
    ++in;
    --n;
  }
  auto whole = static_cast<uint32_t>(n / 2);
  if (whole > 0) {
    std::memcpy(extend(whole), in, size_t{whole} * 2);
  }
  if (n % 2 != 0) {
    pendingByte_ = in[n - 1];
    hasPending_ = true;
  }
}

}  // namespace s::str::strbuffer

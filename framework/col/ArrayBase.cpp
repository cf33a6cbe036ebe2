#include "framework/col/ArrayBase.h"

#include <algorithm>
#include <cstring>

#include "framework/base/Growth.h"

namespace s::col::array {

namespace {

std::u16string asciiText(const std::string& text) { return {text.begin(), text.end()}; }

}  // namespace

void ArrayBase::reallocate(uint32_t capacity) {
  auto block = std::make_unique_for_overwrite<std::byte[]>(size_t{capacity} << elementShift_);
  if (count_ > 0) {
    std::memcpy(block.get(), block_.get(), byteSize());
  }
  block_ = std::move(block);
  capacity_ = capacity;
}

void ArrayBase::setCount(uint32_t n) {
  if (n > capacity_) {
    reallocate(n);
  }
  count_ = n;
}

void ArrayBase::ensureCapacity(uint32_t n) {
  if (n > capacity_) {
    reallocate(capacityFor(capacity_, n));
  }
}

size_t ArrayBase::byteSize(int64_t n) const {
  return static_cast<size_t>(n < 0 ? count_ : n) << elementShift_;
}

void ArrayBase::copyOut(void* buffer, uint32_t dstIndex, uint32_t srcIndex, int64_t n) const {
  if (srcIndex >= count_) {
    return;
  }
  uint32_t available = count_ - srcIndex;
  uint32_t take = n < 0 ? available : static_cast<uint32_t>(std::min<int64_t>(n, available));
  std::memcpy(static_cast<std::byte*>(buffer) + (size_t{dstIndex} << elementShift_),
              elementAt(srcIndex), byteSize(take));
}

void ArrayBase::write(const void* source, uint32_t n, uint32_t srcIndex, uint32_t at) {
  if (n == 0) {
    return;
  }
  uint32_t end = at + n;
  if (end > count_) {
    ensureCapacity(end);
    count_ = end;
  }
  std::memmove(elementAt(at),
               static_cast<const std::byte*>(source) + (size_t{srcIndex} << elementShift_),
               byteSize(n));
}

void ArrayBase::append(const void* source, uint32_t n, uint32_t srcIndex) {
  write(source, n, srcIndex, count_);
}

void ArrayBase::prepend(const void* source, uint32_t n, uint32_t srcIndex) {
  insert(0, source, n, srcIndex);
}

void ArrayBase::openGap(uint32_t at, uint32_t n) {
  ensureCapacity(count_ + n);
  std::memmove(elementAt(at + n), elementAt(at), byteSize(count_ - at));
  count_ += n;
}

void ArrayBase::insert(uint32_t at, const void* source, uint32_t n, uint32_t srcIndex) {
  if (n == 0) {
    return;
  }
  at = std::min(at, count_);
  // The source may lie in this array's own block, which the gap can move.
  auto copy = std::make_unique_for_overwrite<std::byte[]>(byteSize(n));
  std::memcpy(copy.get(), static_cast<const std::byte*>(source) + (size_t{srcIndex} << elementShift_),
              byteSize(n));
  openGap(at, n);
  std::memcpy(elementAt(at), copy.get(), byteSize(n));
}

void ArrayBase::dropLast(uint32_t n) { count_ -= std::min(n, count_); }

void ArrayBase::dropFirst(uint32_t n) { removeRange(0, n); }

void ArrayBase::removeRange(uint32_t at, uint32_t n) {
  if (at >= count_) {
    return;
  }
  n = std::min(n, count_ - at);
  std::memmove(elementAt(at), elementAt(at + n), byteSize(count_ - at - n));
  count_ -= n;
}

void ArrayBase::popLast(void* buffer, uint32_t n, uint32_t dstIndex) {
  n = std::min(n, count_);
  copyOut(buffer, dstIndex, count_ - n, n);
  count_ -= n;
}

void ArrayBase::popFirst(void* buffer, uint32_t n, uint32_t dstIndex) {
  takeRange(0, buffer, n, dstIndex);
}

void ArrayBase::takeRange(uint32_t at, void* buffer, uint32_t n, uint32_t dstIndex) {
  if (at >= count_) {
    return;
  }
  n = std::min(n, count_ - at);
  copyOut(buffer, dstIndex, at, n);
  removeRange(at, n);
}

int ArrayBase::compareRange(uint32_t at, const void* buffer, uint32_t n,
                            uint32_t srcIndex) const {
  if (at > count_ || n > count_ - at) {
    return 1;
  }
  int result = std::memcmp(elementAt(at),
                           static_cast<const std::byte*>(buffer) + (size_t{srcIndex} << elementShift_),
                           byteSize(n));
  return (result > 0) - (result < 0);
}

void ArrayBase::clear() {
  count_ = 0;
  readPosition_ = 0;
  pendingCount_ = 0;
}

void ArrayBase::freeMemory() {
  block_.reset();
  count_ = 0;
  capacity_ = 0;
  readPosition_ = 0;
  pendingCount_ = 0;
}

void ArrayBase::swap(uint32_t i, uint32_t j) {
  if (i == j || i >= count_ || j >= count_) {
    return;
  }
  std::byte temp[8];
  std::memcpy(temp, elementAt(i), elementSize());
  std::memcpy(elementAt(i), elementAt(j), elementSize());
  std::memcpy(elementAt(j), temp, elementSize());
}

void ArrayBase::reverse() {
  for (uint32_t i = 0, j = count_; i + 1 < j; ++i, --j) {
    swap(i, j - 1);
  }
}

std::u16string ArrayBase::elementText(uint32_t i) const {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (size_t b = elementSize(); b-- > 0;) {
    auto value = std::to_integer<unsigned>(elementAt(i)[b]);
    text += kDigits[value >> 4];
    text += kDigits[value & 15];
  }
  return asciiText(text);
}

std::u16string ArrayBase::toText() const {
  std::u16string text(className());
  text += u'[';
  for (uint32_t i = 0; i < count_; ++i) {
    if (i > 0) {
      text += u", ";
    }
    text += elementText(i);
  }
  text += u']';
  return text;
}

std::u16string ArrayBase::toXmlText() const {
  std::u16string name(className());
  std::u16string text = u"<" + name + u" length=\"" + asciiText(std::to_string(count_)) + u"\">";
  for (uint32_t i = 0; i < count_; ++i) {
    if (i > 0) {
      text += u' ';
    }
    text += elementText(i);
  }
  return text + u"</" + name + u">";
}

size_t ArrayBase::readBytes(void* destination, size_t n) {
  size_t total = byteSize();
  if (readPosition_ >= total) {
    return 0;
  }
  n = std::min(n, total - readPosition_);
  std::memcpy(destination, bytes() + readPosition_, n);
  readPosition_ += static_cast<uint32_t>(n);
  return n;
}

void ArrayBase::writeBytes(const void* source, size_t n) {
  const auto* in = static_cast<const std::byte*>(source);
  size_t size = elementSize();
  while (n > 0 && pendingCount_ > 0) {
    pending_[pendingCount_++] = *in++;
    --n;
    if (pendingCount_ == size) {
      append(pending_, 1);
      pendingCount_ = 0;
    }
  }
  auto whole = static_cast<uint32_t>(n >> elementShift_);
  append(in, whole);
  in += size_t{whole} << elementShift_;
  n -= size_t{whole} << elementShift_;
  while (n-- > 0) {
    pending_[pendingCount_++] = *in++;
  }
}

}  // namespace s::col::array

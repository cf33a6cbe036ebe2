#include "framework/col/ArrayBase.h"

#include <algorithm>
#include <cstring>

#include "framework/base/Growth.h"
#include "framework/col/ElementText.h"

namespace s::col::array {

std::unique_ptr<std::byte[]> ArrayBase::reallocate(uint32_t capacity) {
  auto block = std::make_unique_for_overwrite<std::byte[]>(size_t{capacity} << elementShift_);
  if (count_ > 0) {
    std::memcpy(block.get(), block_.get(), byteSize());
  }
  std::swap(block_, block);
  capacity_ = capacity;
  return block;
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
  std::unique_ptr<std::byte[]> old;
  if (end > count_) {
    if (end > capacity_) {
      old = reallocate(capacityFor(capacity_, end));
    }
    count_ = end;
  }
  // The source may lie in this array's own block (the old one after growth): memmove and the
  // kept old block serve both cases.
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
  std::memcpy(copy.get(),
              static_cast<const std::byte*>(source) + (size_t{srcIndex} << elementShift_),
              byteSize(n));
  openGap(at, n);
  std::memcpy(elementAt(at), copy.get(), byteSize(n));
}

void ArrayBase::dropLast(uint32_t n) {
  count_ -= std::min(n, count_);
}

void ArrayBase::dropFirst(uint32_t n) {
  removeRange(0, n);
}

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

int ArrayBase::compareRange(uint32_t at, const void* buffer, uint32_t n, uint32_t srcIndex) const {
  if (at > count_ || n > count_ - at) {
    return 1;
  }
  int result = std::memcmp(
      elementAt(at), static_cast<const std::byte*>(buffer) + (size_t{srcIndex} << elementShift_),
      byteSize(n));
  return (result > 0) - (result < 0);
}

void ArrayBase::clear() {
  count_ = 0;
  readPosition_ = 0;
  pending_.clear();
}

void ArrayBase::freeMemory() {
  block_.reset();
  count_ = 0;
  capacity_ = 0;
  readPosition_ = 0;
  pending_.clear();
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
  return hexText(elementAt(i), elementSize());
}

std::u16string ArrayBase::toText() const {
  return collectionText(className(), count_, [this](uint32_t i) { return elementText(i); });
}

std::u16string ArrayBase::toXmlText() const {
  return collectionXmlText(className(), count_, [this](uint32_t i) { return elementText(i); });
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
  pending_.write(source, n, elementShift_,
                 [this](const void* whole, uint32_t count) { append(whole, count); });
}

}  // namespace s::col::array

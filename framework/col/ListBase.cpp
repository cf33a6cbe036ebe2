#include "framework/col/ListBase.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "framework/base/Growth.h"
#include "framework/col/ElementText.h"

namespace s::col::list {

void ListBase::reallocate(uint32_t capacity) {
  auto block = std::make_unique_for_overwrite<std::byte[]>(size_t{capacity} << elementShift_);
  readRing(0, block.get(), count_);
  block_ = std::move(block);
  capacity_ = capacity;
  first_ = 0;
}

void ListBase::readRing(uint32_t i, std::byte* destination, uint32_t n) const {
  if (n == 0) {
    return;
  }
  uint32_t position = slot(i);
  uint32_t run = std::min(n, capacity_ - position);
  std::memcpy(destination, block_.get() + (size_t{position} << elementShift_), byteSize(run));
  std::memcpy(destination + byteSize(run), block_.get(), byteSize(n - run));
}

void ListBase::writeRing(uint32_t i, const std::byte* source, uint32_t n) {
  if (n == 0) {
    return;
  }
  uint32_t position = slot(i);
  uint32_t run = std::min(n, capacity_ - position);
  std::memcpy(block_.get() + (size_t{position} << elementShift_), source, byteSize(run));
  std::memcpy(block_.get(), source + byteSize(run), byteSize(n - run));
}

void ListBase::moveRing(uint32_t to, uint32_t from, uint32_t n) {
  if (n == 0 || to == from) {
    return;
  }
  // Runs that wrap at neither end, taken in the order that reads every element before its
  // place is overwritten.
  if (to < from) {
    for (uint32_t done = 0; done < n;) {
      uint32_t source = slot(from + done);
      uint32_t target = slot(to + done);
      uint32_t run = std::min({n - done, capacity_ - source, capacity_ - target});
      std::memmove(block_.get() + (size_t{target} << elementShift_),
                   block_.get() + (size_t{source} << elementShift_), byteSize(run));
      done += run;
    }
  } else {
    for (uint32_t left = n; left > 0;) {
      uint32_t sourceEnd = slot(from + left - 1) + 1;
      uint32_t targetEnd = slot(to + left - 1) + 1;
      uint32_t run = std::min({left, sourceEnd, targetEnd});
      std::memmove(block_.get() + (size_t{targetEnd - run} << elementShift_),
                   block_.get() + (size_t{sourceEnd - run} << elementShift_), byteSize(run));
      left -= run;
    }
  }
}

std::unique_ptr<std::byte[]> ListBase::ownCopy(const std::byte* source, uint32_t n) const {
  const std::byte* begin = block_.get();
  const std::byte* end = begin + byteSize(capacity_);
  std::less<const std::byte*> less;
  if (begin == nullptr || less(source, begin) || !less(source, end)) {
    return nullptr;
  }
  auto copy = std::make_unique_for_overwrite<std::byte[]>(byteSize(n));
  std::memcpy(copy.get(), source, byteSize(n));
  return copy;
}

void ListBase::setCount(uint32_t n) {
  if (n > capacity_) {
    reallocate(n);
  }
  count_ = n;
}

void ListBase::ensureCapacity(uint32_t n) {
  if (n > capacity_) {
    reallocate(capacityFor(capacity_, n));
  }
}

size_t ListBase::byteSize(int64_t n) const {
  return static_cast<size_t>(n < 0 ? count_ : n) << elementShift_;
}

void ListBase::copyOut(void* buffer, uint32_t dstIndex, uint32_t srcIndex, int64_t n) const {
  if (srcIndex >= count_) {
    return;
  }
  uint32_t available = count_ - srcIndex;
  uint32_t take = n < 0 ? available : static_cast<uint32_t>(std::min<int64_t>(n, available));
  readRing(srcIndex, static_cast<std::byte*>(buffer) + byteSize(dstIndex), take);
}

void ListBase::write(const void* source, uint32_t n, uint32_t srcIndex, uint32_t at) {
  if (n == 0) {
    return;
  }
  const auto* from = static_cast<const std::byte*>(source) + byteSize(srcIndex);
  auto copy = ownCopy(from, n);
  if (copy) {
    from = copy.get();
  }
  uint32_t end = at + n;
  if (end > count_) {
    ensureCapacity(end);
    count_ = end;
  }
  writeRing(at, from, n);
}

void ListBase::append(const void* source, uint32_t n, uint32_t srcIndex) {
  write(source, n, srcIndex, count_);
}

void ListBase::prepend(const void* source, uint32_t n, uint32_t srcIndex) {
  insert(0, source, n, srcIndex);
}

void ListBase::insert(uint32_t at, const void* source, uint32_t n, uint32_t srcIndex) {
  if (n == 0) {
    return;
  }
  at = std::min(at, count_);
  const auto* from = static_cast<const std::byte*>(source) + byteSize(srcIndex);
  auto copy = ownCopy(from, n);
  if (copy) {
    from = copy.get();
  }
  ensureCapacity(count_ + n);
  uint32_t tail = count_ - at;
  if (at < tail) {
    // Fewer elements in front of the gap: move those, and the first element, back.
    first_ = static_cast<uint32_t>((uint64_t{first_} + capacity_ - n) % capacity_);
    count_ += n;
    moveRing(0, n, at);
  } else {
    count_ += n;
    moveRing(at + n, at, tail);
  }
  writeRing(at, from, n);
}

void ListBase::dropLast(uint32_t n) {
  count_ -= std::min(n, count_);
}

void ListBase::dropFirst(uint32_t n) {
  removeRange(0, n);
}

void ListBase::removeRange(uint32_t at, uint32_t n) {
  if (at >= count_ || n == 0) {
    return;
  }
  n = std::min(n, count_ - at);
  uint32_t tail = count_ - at - n;
  if (at < tail) {
    moveRing(n, 0, at);
    first_ = slot(n);
  } else {
    moveRing(at, at + n, tail);
  }
  count_ -= n;
}

void ListBase::popLast(void* buffer, uint32_t n, uint32_t dstIndex) {
  n = std::min(n, count_);
  copyOut(buffer, dstIndex, count_ - n, n);
  count_ -= n;
}

void ListBase::popFirst(void* buffer, uint32_t n, uint32_t dstIndex) {
  takeRange(0, buffer, n, dstIndex);
}

void ListBase::takeRange(uint32_t at, void* buffer, uint32_t n, uint32_t dstIndex) {
  if (at >= count_) {
    return;
  }
  n = std::min(n, count_ - at);
  copyOut(buffer, dstIndex, at, n);
  removeRange(at, n);
}

int ListBase::compareRange(uint32_t at, const void* buffer, uint32_t n, uint32_t srcIndex) const {
  if (at > count_ || n > count_ - at) {
    return 1;
  }
  const auto* other = static_cast<const std::byte*>(buffer) + byteSize(srcIndex);
  for (uint32_t done = 0; done < n;) {
    uint32_t position = slot(at + done);
    uint32_t run = std::min(n - done, capacity_ - position);
    int result = std::memcmp(block_.get() + (size_t{position} << elementShift_),
                             other + byteSize(done), byteSize(run));
    if (result != 0) {
      return result > 0 ? 1 : -1;
    }
    done += run;
  }
  return 0;
}

void ListBase::clear() {
  count_ = 0;
  first_ = 0;
  readPosition_ = 0;
  pending_.clear();
}

void ListBase::freeMemory() {
  block_.reset();
  count_ = 0;
  capacity_ = 0;
  first_ = 0;
  readPosition_ = 0;
  pending_.clear();
}

void ListBase::swap(uint32_t i, uint32_t j) {
  if (i == j || i >= count_ || j >= count_) {
    return;
  }
  std::byte temp[8];
  std::memcpy(temp, elementAt(i), elementSize());
  std::memcpy(elementAt(i), elementAt(j), elementSize());
  std::memcpy(elementAt(j), temp, elementSize());
}

void ListBase::reverse() {
  for (uint32_t i = 0, j = count_; i + 1 < j; ++i, --j) {
    swap(i, j - 1);
  }
}

std::u16string ListBase::elementText(uint32_t i) const {
  return hexText(elementAt(i), elementSize());
}

std::u16string ListBase::toText() const {
  return collectionText(className(), count_, [this](uint32_t i) { return elementText(i); });
}

std::u16string ListBase::toXmlText() const {
  return collectionXmlText(className(), count_, [this](uint32_t i) { return elementText(i); });
}

size_t ListBase::readBytes(void* destination, size_t n) {
  size_t total = byteSize();
  if (readPosition_ >= total) {
    return 0;
  }
  n = std::min(n, total - readPosition_);
  // The ring in bytes: the elements' bytes run from the first element's byte on and wrap.
  size_t ringBytes = byteSize(capacity_);
  size_t start = (byteSize(first_) + readPosition_) % ringBytes;
  size_t run = std::min(n, ringBytes - start);
  auto* out = static_cast<std::byte*>(destination);
  std::memcpy(out, block_.get() + start, run);
  std::memcpy(out + run, block_.get(), n - run);
  readPosition_ += static_cast<uint32_t>(n);
  return n;
}

void ListBase::writeBytes(const void* source, size_t n) {
  pending_.write(source, n, elementShift_,
                 [this](const void* whole, uint32_t count) { append(whole, count); });
}

}  // namespace s::col::list

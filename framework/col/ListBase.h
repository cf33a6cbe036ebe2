#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "framework/base/IObject.h"
#include "framework/base/IPoolable.h"
#include "framework/base/Streams.h"
#include "framework/col/PendingElement.h"

namespace s::col::list {

// The interface of ArrayBase over a ring buffer: the elements run from firstIndex() on,
// wrapping at the block's end, so adding and removing at either end takes constant time.
// Growth follows the one growth rule and copies the elements into order at the start of the
// new block.
class ListBase : public IObject, public IPoolable, public io::IByteInput, public io::IByteOutput {
 public:
  explicit ListBase(uint8_t elementShift) : elementShift_(elementShift) {}
  ~ListBase() override = default;
  ListBase(const ListBase&) = delete;
  ListBase& operator=(const ListBase&) = delete;

  uint32_t count() const { return count_; }
  uint32_t capacity() const { return capacity_; }
  // Block position of element 0.
  uint32_t firstIndex() const { return first_; }
  uint8_t elementShift() const { return elementShift_; }
  bool empty() const { return count_ == 0; }

  void setCount(uint32_t n);
  void ensureCapacity(uint32_t n);
  size_t byteSize(int64_t n = -1) const;

  void copyOut(void* buffer, uint32_t dstIndex, uint32_t srcIndex, int64_t n = -1) const;
  void write(const void* source, uint32_t n, uint32_t srcIndex, uint32_t at);
  void append(const void* source, uint32_t n, uint32_t srcIndex = 0);
  void prepend(const void* source, uint32_t n, uint32_t srcIndex = 0);
  void insert(uint32_t at, const void* source, uint32_t n, uint32_t srcIndex = 0);

  void dropLast(uint32_t n = 1);
  void dropFirst(uint32_t n = 1);
  void removeRange(uint32_t at, uint32_t n);
  void popLast(void* buffer, uint32_t n, uint32_t dstIndex = 0);
  void popFirst(void* buffer, uint32_t n, uint32_t dstIndex = 0);
  void takeRange(uint32_t at, void* buffer, uint32_t n, uint32_t dstIndex = 0);

  int compareRange(uint32_t at, const void* buffer, uint32_t n, uint32_t srcIndex = 0) const;

  void clear();
  virtual void freeMemory();
  void reset() override { freeMemory(); }

  void swap(uint32_t i, uint32_t j);
  void reverse();

  std::u16string toText() const;
  std::u16string toXmlText() const;

  size_t readBytes(void* destination, size_t n) override;
  void writeBytes(const void* source, size_t n) override;

  std::u16string_view className() const override { return u"s_col_list_ListBase"; }

 protected:
  std::byte* elementAt(uint32_t i) const {
    return block_.get() + (size_t{slot(i)} << elementShift_);
  }
  size_t elementSize() const { return size_t{1} << elementShift_; }
  virtual std::u16string elementText(uint32_t i) const;

 private:
  // Block position of element i (i below the capacity).
  uint32_t slot(uint32_t i) const {
    uint64_t position = uint64_t{first_} + i;
    return static_cast<uint32_t>(position >= capacity_ ? position - capacity_ : position);
  }
  void reallocate(uint32_t capacity);
  // Copies n elements from element i on, in at most two runs.
  void readRing(uint32_t i, std::byte* destination, uint32_t n) const;
  void writeRing(uint32_t i, const std::byte* source, uint32_t n);
  // Moves n elements from element `from` to element `to`; the ranges may overlap.
  void moveRing(uint32_t to, uint32_t from, uint32_t n);
  // A copy of a source that lies in this list's own block, which growth frees and shifting
  // overwrites; null when the source lies elsewhere.
  std::unique_ptr<std::byte[]> ownCopy(const std::byte* source, uint32_t n) const;

  std::unique_ptr<std::byte[]> block_;
  uint32_t count_ = 0;
  uint32_t capacity_ = 0;
  uint32_t first_ = 0;
  uint32_t readPosition_ = 0;
  uint8_t elementShift_;
  PendingElement pending_;
};

}  // namespace s::col::list

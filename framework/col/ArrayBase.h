#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "framework/base/IObject.h"
#include "framework/base/IPoolable.h"
#include "framework/base/Streams.h"
#include "framework/col/PendingElement.h"

namespace s::col::array {

// A growable block of fixed-size, trivially copyable elements. Indexes and counts are in
// elements; srcIndex/dstIndex select where in a caller's buffer elements come from or go.
// A count of -1 means "to the end".
class ArrayBase : public IObject, public IPoolable, public io::IByteInput, public io::IByteOutput {
 public:
  explicit ArrayBase(uint8_t elementShift) : elementShift_(elementShift) {}
  ~ArrayBase() override = default;
  ArrayBase(const ArrayBase&) = delete;
  ArrayBase& operator=(const ArrayBase&) = delete;

  uint32_t count() const { return count_; }
  uint32_t capacity() const { return capacity_; }
  uint8_t elementShift() const { return elementShift_; }
  bool empty() const { return count_ == 0; }

  // Sets the count, growing the block to exactly n when needed; new elements are
  // uninitialised.
  void setCount(uint32_t n);
  // Grows the block to hold at least n elements, by the growth rule.
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

  // memcmp of n elements at `at` with the buffer's elements from srcIndex; -1/0/1.
  int compareRange(uint32_t at, const void* buffer, uint32_t n, uint32_t srcIndex = 0) const;

  // Count and read position 0; the block stays; elements are not disposed of.
  void clear();
  // Disposes of the elements (where the array owns them) and frees the block.
  virtual void freeMemory();
  void reset() override { freeMemory(); }

  void swap(uint32_t i, uint32_t j);
  void reverse();

  // Diagnostic forms: "Name[e0, e1]" and "<Name length=\"2\">e0 e1</Name>".
  std::u16string toText() const;
  std::u16string toXmlText() const;

  size_t readBytes(void* destination, size_t n) override;
  void writeBytes(const void* source, size_t n) override;

  std::u16string_view className() const override { return u"s_col_array_ArrayBase"; }

 protected:
  std::byte* bytes() const { return block_.get(); }
  std::byte* elementAt(uint32_t i) const { return block_.get() + (size_t{i} << elementShift_); }
  size_t elementSize() const { return size_t{1} << elementShift_; }
  // The text of element i for the diagnostic forms.
  virtual std::u16string elementText(uint32_t i) const;

 private:
  // Moves the elements to a block of `capacity`; answers the old block, which a caller whose
  // source may lie in it keeps until it has copied.
  std::unique_ptr<std::byte[]> reallocate(uint32_t capacity);
  void openGap(uint32_t at, uint32_t n);

  std::unique_ptr<std::byte[]> block_;
  uint32_t count_ = 0;
  uint32_t capacity_ = 0;
  uint32_t readPosition_ = 0;
  uint8_t elementShift_;
  PendingElement pending_;
};

}  // namespace s::col::array

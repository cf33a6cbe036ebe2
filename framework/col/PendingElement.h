#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace s::col {

// Assembles whole elements from a byte stream that may split them: bytes written that do
// not yet make a whole element wait here for the rest.
class PendingElement {
 public:
  // Passes every completed element run to append(const void* source, uint32_t n).
  template <class Append>
  void write(const void* source, size_t n, uint8_t elementShift, Append append) {
    const auto* in = static_cast<const std::byte*>(source);
    size_t size = size_t{1} << elementShift;
    while (n > 0 && count_ > 0) {
      bytes_[count_++] = *in++;
      --n;
      if (count_ == size) {
        append(bytes_, 1);
        count_ = 0;
      }
    }
    auto whole = static_cast<uint32_t>(n >> elementShift);
    if (whole > 0) {
      append(in, whole);
    }
    in += size_t{whole} << elementShift;
    n -= size_t{whole} << elementShift;
    std::memcpy(bytes_ + count_, in, n);
    count_ += static_cast<uint8_t>(n);
  }

  void clear() { count_ = 0; }

 private:
  std::byte bytes_[8] = {};
  uint8_t count_ = 0;
};

}  // namespace s::col

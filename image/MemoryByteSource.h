#pragma once

#include <cstring>

#include "image/ByteSource.h"

namespace s::image {

class MemoryByteSource final : public ByteSource {
 public:
  explicit MemoryByteSource(Bytes bytes) : bytes_(bytes) {}
  uint64_t size() const override { return bytes_.size(); }
  bool read(uint64_t offset, void* destination, size_t length) const override {
    if (!inside(bytes_, offset, length)) {
      return false;
    }
    if (length > 0) {
      std::memcpy(destination, bytes_.data() + offset, length);
    }
    return true;
  }

 private:
  Bytes bytes_;
};

}  // namespace s::image

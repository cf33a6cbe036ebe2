#pragma once

#include <cstddef>
#include <cstdint>

#include "image/Bytes.h"

namespace s::image {

// Random access to the bytes of a file or a block, every read checked against the size.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t size() const = 0;
  // Copies length bytes from offset; false when any of them lies past the end.
  virtual bool read(uint64_t offset, void* destination, size_t length) const = 0;
};

}  // namespace s::image

#pragma once

#include <cstddef>

namespace s::io {

// Byte streams: arrays and texts can be read and filled by any producer or consumer.
class IByteInput {
 public:
  virtual ~IByteInput() = default;
  // Copies up to `n` bytes from the read position on; answers the number copied.
  virtual size_t readBytes(void* destination, size_t n) = 0;
};

class IByteOutput {
 public:
  virtual ~IByteOutput() = default;
  // Appends `n` bytes.
  virtual void writeBytes(const void* source, size_t n) = 0;
};

}  // namespace s::io

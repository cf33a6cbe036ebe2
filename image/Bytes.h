#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace s::image {

using Bytes = std::span<const uint8_t>;

// Little-endian reads that refuse to go past the end of the span.
inline bool inside(Bytes bytes, uint64_t offset, uint64_t length) {
  return offset <= bytes.size() && length <= bytes.size() - offset;
}
inline bool readU8(Bytes bytes, uint64_t offset, uint8_t& value) {
  if (!inside(bytes, offset, 1)) {
    return false;
  }
  value = bytes[offset];
  return true;
}
inline bool readU16(Bytes bytes, uint64_t offset, uint16_t& value) {
  if (!inside(bytes, offset, 2)) {
    return false;
  }
  value = static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
  return true;
}
inline bool readU32(Bytes bytes, uint64_t offset, uint32_t& value) {
  if (!inside(bytes, offset, 4)) {
    return false;
  }
  value = static_cast<uint32_t>(bytes[offset]) | (static_cast<uint32_t>(bytes[offset + 1]) << 8) |
          (static_cast<uint32_t>(bytes[offset + 2]) << 16) |
          (static_cast<uint32_t>(bytes[offset + 3]) << 24);
  return true;
}
inline bool readS32(Bytes bytes, uint64_t offset, int32_t& value) {
  uint32_t raw = 0;
  if (!readU32(bytes, offset, raw)) {
    return false;
  }
  value = static_cast<int32_t>(raw);
  return true;
}

}  // namespace s::image

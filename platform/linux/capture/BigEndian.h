#pragma once

#include <cstdint>

namespace s::platform {

// Header fields in network byte order, read into host order.
inline uint16_t readBigEndian16(const uint8_t* p) {
  return static_cast<uint16_t>((static_cast<unsigned>(p[0]) << 8) | p[1]);
}

inline uint32_t readBigEndian32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | p[3];
}

}  // namespace s::platform

#pragma once

#include <cstddef>
#include <cstdint>

namespace s::platform {

inline constexpr uint8_t kProtocolTcp = 6;
inline constexpr uint8_t kProtocolUdp = 17;

// The fields the traffic accounting needs from one captured IPv4 datagram.
struct Ipv4Datagram {
  uint8_t protocol = 0;          // kProtocolTcp or kProtocolUdp
  uint32_t source = 0;           // network byte order
  uint32_t destination = 0;      // network byte order
  uint16_t sourcePort = 0;       // host byte order
  uint16_t destinationPort = 0;  // host byte order
  uint16_t length = 0;           // the IP total length, headers included
};

// Reads a TCP or UDP datagram whose first `captured` bytes are at `data` (the capture keeps only
// the headers). Gives false, leaving `out` alone, for anything else and for a header that does
// not fit: a header length below 20 or beyond the captured bytes, a total length shorter than the
// header and the transport header's minimum, or ports past the captured bytes. No byte beyond
// `captured` is read.
bool parseIpv4Datagram(const uint8_t* data, size_t captured, Ipv4Datagram& out);

}  // namespace s::platform

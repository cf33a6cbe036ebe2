#pragma once

#include <cstdint>

#include "platform/linux/IpAddress.h"

namespace s::platform {

inline constexpr uint8_t kProtocolTcp = 6;
inline constexpr uint8_t kProtocolUdp = 17;

// The fields the traffic accounting needs from one captured IPv4 or IPv6 datagram.
struct IpDatagram {
  uint8_t protocol = 0;  // kProtocolTcp or kProtocolUdp
  IpAddress source;
  IpAddress destination;
  uint16_t sourcePort = 0;       // host byte order
  uint16_t destinationPort = 0;  // host byte order
  uint32_t length = 0;           // the datagram's length on the wire, headers included
};

}  // namespace s::platform

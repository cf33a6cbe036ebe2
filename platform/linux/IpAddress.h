#pragma once

#include <array>
#include <cstdint>
#include <cstring>

namespace s::platform {

// An IPv6 address as its 16 bytes in network order.
using Ipv6Bytes = std::array<uint8_t, 16>;

// The addresses a socket speaks: IPv4 (the IPv4-mapped connections of a dual-stack socket
// included), IPv6, or both: a dual-stack wildcard socket, IPV6_V6ONLY off.
enum class SocketFamily : uint8_t { Ipv4, Ipv6, DualStack };

enum class IpFamily : uint8_t { V4, V6 };

// An IPv4 or IPv6 address in network byte order; an IPv4 address fills the first four bytes and
// leaves the others 0, so that addresses compare and hash as plain bytes.
struct IpAddress {
  IpFamily family = IpFamily::V4;
  Ipv6Bytes bytes{};

  static IpAddress v4(uint32_t word) {
    IpAddress address;
    std::memcpy(address.bytes.data(), &word, sizeof word);
    return address;
  }
  static IpAddress v6(const uint8_t* sixteen) {
    IpAddress address;
    address.family = IpFamily::V6;
    std::memcpy(address.bytes.data(), sixteen, address.bytes.size());
    return address;
  }

  // The IPv4 word as the kernel's tables hold it: the first octet is the lowest byte.
  uint32_t word() const {
    uint32_t word = 0;
    std::memcpy(&word, bytes.data(), sizeof word);
    return word;
  }
  bool isLinkLocal() const {
    return family == IpFamily::V6 && bytes[0] == 0xfe && (bytes[1] & 0xc0) == 0x80;
  }
  bool operator==(const IpAddress&) const = default;
};

}  // namespace s::platform

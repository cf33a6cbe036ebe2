#pragma once

#include <linux/filter.h>

#include <array>
#include <cstdint>

#include "platform/linux/IpAddress.h"

namespace s::platform {

// The bytes kept of each IPv4 datagram: the largest IPv4 header and the two ports after it.
inline constexpr uint32_t kCaptureSnapLength = 60 + 4;
// The bytes kept of each IPv6 datagram: the fixed header and room for a chain of extension
// headers before the ports.
inline constexpr uint32_t kIpv6SnapLength = 256;

// A classic BPF program for a packet socket whose frames start at the network header.
struct CaptureFilter {
  static constexpr unsigned short kMaxLength = 24;
  std::array<sock_filter, kMaxLength> code{};
  unsigned short length = 0;

  // The program in the form SO_ATTACH_FILTER takes; valid while the filter lives.
  sock_fprog program() { return {length, code.data()}; }
};

// The filter of a capture on `address`: it keeps the datagrams of the address's family whose
// source or destination is the address, truncated to their headers (kCaptureSnapLength for
// IPv4, kIpv6SnapLength for IPv6), and drops everything else in the kernel. A plain function of
// the address, so that whoever opens the capture socket can build it.
CaptureFilter captureFilter(const IpAddress& address);

}  // namespace s::platform

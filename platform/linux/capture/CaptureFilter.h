#pragma once

#include <linux/filter.h>

#include <array>
#include <cstdint>

namespace s::platform {

// The bytes kept of each datagram: the largest IPv4 header and the two ports after it.
inline constexpr uint32_t kCaptureSnapLength = 60 + 4;

// A classic BPF program for a packet socket whose frames start at the network header: it keeps
// the IPv4 datagrams whose source or destination is `address` (network byte order), truncated to
// kCaptureSnapLength bytes, and drops everything else in the kernel.
class CaptureFilter {
 public:
  explicit CaptureFilter(uint32_t address);

  // The program in the form SO_ATTACH_FILTER takes; valid while the filter lives.
  const sock_fprog* program() const { return &program_; }

 private:
  static constexpr unsigned short kLength = 11;
  std::array<sock_filter, kLength> code_{};
  sock_fprog program_{};
};

}  // namespace s::platform

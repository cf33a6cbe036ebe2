#include "platform/linux/capture/CaptureFilter.h"

#include <arpa/inet.h>
#include <linux/if_ether.h>

#include <cstring>

namespace s::platform {

namespace {

constexpr uint32_t kProtocolField = static_cast<uint32_t>(SKF_AD_OFF + SKF_AD_PROTOCOL);

// Absolute loads convert to host order, so the address is compared in host order.
uint32_t hostWord(const IpAddress& address, int word) {
  uint32_t value = 0;
  std::memcpy(&value, address.bytes.data() + 4 * word, sizeof value);
  return ntohl(value);
}

CaptureFilter ipv4Filter(const IpAddress& address) {
  const uint32_t local = hostWord(address, 0);
  CaptureFilter filter;
  filter.code = {{
      // The frame's link-level protocol must be IPv4.
      BPF_STMT(BPF_LD | BPF_H | BPF_ABS, kProtocolField),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, ETH_P_IP, 0, 8),
      // ... and so must the header's version.
      BPF_STMT(BPF_LD | BPF_B | BPF_ABS, 0),
      BPF_STMT(BPF_ALU | BPF_AND | BPF_K, 0xf0),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, 0x40, 0, 5),
      // Source, then destination.
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, 12),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, local, 2, 0),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, 16),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, local, 0, 1),
      BPF_STMT(BPF_RET | BPF_K, kCaptureSnapLength),
      BPF_STMT(BPF_RET | BPF_K, 0),
  }};
  filter.length = 11;
  return filter;
}

CaptureFilter ipv6Filter(const IpAddress& address) {
  // Source at 8, destination at 24: four words each, every one equal to the address's.
  constexpr uint8_t kAccept = 21;
  constexpr uint8_t kDrop = 22;
  CaptureFilter filter;
  auto emit = [&filter](sock_filter instruction) { filter.code[filter.length++] = instruction; };
  // A jump to `target` from the instruction about to be emitted.
  auto to = [&filter](uint8_t target) { return static_cast<uint8_t>(target - filter.length - 1); };
  emit(BPF_STMT(BPF_LD | BPF_H | BPF_ABS, kProtocolField));
  emit(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, ETH_P_IPV6, 0, to(kDrop)));
  emit(BPF_STMT(BPF_LD | BPF_B | BPF_ABS, 0));
  emit(BPF_STMT(BPF_ALU | BPF_AND | BPF_K, 0xf0));
  emit(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, 0x60, 0, to(kDrop)));
  constexpr uint8_t kDestination = 13;
  for (int side = 0; side < 2; ++side) {
    const uint8_t mismatch = side == 0 ? kDestination : kDrop;
    for (int word = 0; word < 4; ++word) {
      emit(BPF_STMT(BPF_LD | BPF_W | BPF_ABS, static_cast<uint32_t>(8 + 16 * side + 4 * word)));
      uint8_t match = word == 3 ? to(kAccept) : 0;
      emit(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, hostWord(address, word), match, to(mismatch)));
    }
  }
  emit(BPF_STMT(BPF_RET | BPF_K, kIpv6SnapLength));
  emit(BPF_STMT(BPF_RET | BPF_K, 0));
  return filter;
}

}  // namespace

CaptureFilter captureFilter(const IpAddress& address) {
  return address.family == IpFamily::V4 ? ipv4Filter(address) : ipv6Filter(address);
}

}  // namespace s::platform

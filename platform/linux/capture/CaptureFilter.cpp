#include "platform/linux/capture/CaptureFilter.h"

#include <arpa/inet.h>
#include <linux/if_ether.h>

namespace s::platform {

CaptureFilter::CaptureFilter(uint32_t address) {
  // Absolute loads convert to host order, so the address is compared in host order.
  const uint32_t local = ntohl(address);
  const uint32_t protocolField = static_cast<uint32_t>(SKF_AD_OFF + SKF_AD_PROTOCOL);
  code_ = {{
      // The frame's link-level protocol must be IPv4.
      BPF_STMT(BPF_LD | BPF_H | BPF_ABS, protocolField),
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
  program_.len = kLength;
  program_.filter = code_.data();
}

}  // namespace s::platform

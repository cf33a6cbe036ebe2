#include "platform/linux/SocketRow.h"

#include <arpa/inet.h>

#include <array>
#include <cstring>

namespace s::platform {

int32_t tcpStateFromLinux(int linuxState) {
  // Indexed by the kernel's TCP_* value.
  static constexpr std::array<int32_t, 13> kStates = {
      0,                // unused
      kTcpEstablished,  // TCP_ESTABLISHED
      kTcpSynSent,      // TCP_SYN_SENT
      kTcpSynReceived,  // TCP_SYN_RECV
      kTcpFinWait1,     // TCP_FIN_WAIT1
      kTcpFinWait2,     // TCP_FIN_WAIT2
      kTcpTimeWait,     // TCP_TIME_WAIT
      kTcpClosed,       // TCP_CLOSE
      kTcpCloseWait,    // TCP_CLOSE_WAIT
      kTcpLastAck,      // TCP_LAST_ACK
      kTcpListening,    // TCP_LISTEN
      kTcpClosing,      // TCP_CLOSING
      kTcpSynReceived,  // TCP_NEW_SYN_RECV
  };
  if (linuxState < 0 || linuxState >= static_cast<int>(kStates.size())) {
    return 0;
  }
  return kStates[linuxState];
}

namespace {

enum class Ipv6Kind { Unspecified, Mapped, Other };

Ipv6Kind kindOf(const uint32_t (&words)[4]) {
  if (words[0] != 0 || words[1] != 0) {
    return Ipv6Kind::Other;
  }
  if (words[2] == htonl(0xFFFF)) {
    return Ipv6Kind::Mapped;
  }
  return words[2] == 0 && words[3] == 0 ? Ipv6Kind::Unspecified : Ipv6Kind::Other;
}

}  // namespace

void setIpv6TableAddresses(const uint32_t (&local)[4], const uint32_t (&remote)[4], V6Only v6Only,
                           SocketRow& row) {
  Ipv6Kind localKind = kindOf(local);
  Ipv6Kind remoteKind = kindOf(remote);
  bool bothUnspecified = localKind == Ipv6Kind::Unspecified && remoteKind == Ipv6Kind::Unspecified;
  if (localKind != Ipv6Kind::Other && remoteKind != Ipv6Kind::Other && !bothUnspecified) {
    row.family = SocketFamily::Ipv4;
    row.localAddress = local[3];
    row.remoteAddress = remote[3];
    return;
  }
  row.family =
      bothUnspecified && v6Only == V6Only::Off ? SocketFamily::DualStack : SocketFamily::Ipv6;
  std::memcpy(row.localAddress6.data(), local, sizeof local);
  std::memcpy(row.remoteAddress6.data(), remote, sizeof remote);
}

bool isIpv6Wildcard(const SocketRow& row) {
  static constexpr Ipv6Bytes kUnspecified{};
  return row.family != SocketFamily::Ipv4 && row.localAddress6 == kUnspecified &&
         row.remoteAddress6 == kUnspecified;
}

}  // namespace s::platform

#pragma once

#include <cstdint>
#include <vector>

#include "platform/linux/ISocketSource.h"

namespace s::platform {

// Lists sockets with NETLINK_SOCK_DIAG dumps, one per address family. The netlink socket and
// the receive buffer are kept between readings, so a steady-state reading allocates nothing
// beyond the rows' own growth.
class SockDiagSource final : public ISocketSource {
 public:
  SockDiagSource() = default;
  ~SockDiagSource() override;
  SockDiagSource(const SockDiagSource&) = delete;
  SockDiagSource& operator=(const SockDiagSource&) = delete;

  // IPV6_V6ONLY comes with the unconnected IPv6 sockets, so a dual-stack wildcard socket is
  // told apart; the TCP byte counters, when asked for, from each socket's tcp_info.
  bool read(Protocol protocol, ByteCounts counts, std::vector<SocketRow>& rows) override;

  // Asks the kernel to end the TCP connection with these endpoints (SOCK_DESTROY). Needs
  // CAP_NET_ADMIN and a kernel built with CONFIG_INET_DIAG_DESTROY; false with errno kept
  // when refused or when no such connection exists. An IPv4 connection is looked for in the
  // IPv6 table too, under its mapped addresses, where a dual-stack socket keeps it.
  static bool destroyTcp(uint32_t localAddress, uint16_t localPort, uint32_t remoteAddress,
                         uint16_t remotePort);
  static bool destroyTcp6(const Ipv6Bytes& localAddress, uint16_t localPort,
                          const Ipv6Bytes& remoteAddress, uint16_t remotePort);

 private:
  bool open();
  void close();
  bool dump(uint8_t family, uint8_t protocol, ByteCounts counts, std::vector<SocketRow>& rows);

  int fd_ = -1;
  uint32_t sequence_ = 0;
  std::vector<uint8_t> buffer_;
};

}  // namespace s::platform

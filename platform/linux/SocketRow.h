#pragma once

#include <cstdint>

namespace s::platform {

enum class Protocol : uint8_t { Tcp, Udp };

// TCP states as the connection records number them.
enum TcpState : int32_t {
  kTcpClosed = 1,
  kTcpListening = 2,
  kTcpSynSent = 3,
  kTcpSynReceived = 4,
  kTcpEstablished = 5,
  kTcpFinWait1 = 6,
  kTcpFinWait2 = 7,
  kTcpCloseWait = 8,
  kTcpClosing = 9,
  kTcpLastAck = 10,
  kTcpTimeWait = 11,
  kTcpDeleteTcb = 12,
};

// Owner pid of a row whose owning process cannot be seen (another user's, without rights).
inline constexpr int32_t kOwnerUnseen = -1;

// One IPv4 socket of the kernel's tables. Addresses are in network byte order in memory (the
// first octet is the lowest byte on little-endian), ports in host order.
struct SocketRow {
  int32_t state = 0;  // TcpState for TCP, 0 for UDP
  uint32_t localAddress = 0;
  uint16_t localPort = 0;
  uint32_t remoteAddress = 0;
  uint16_t remotePort = 0;
  uint64_t inode = 0;  // 0 for ownerless rows (TIME_WAIT, request sockets)
  uint32_t uid = 0;
  int32_t pid = 0;  // 0 when ownerless, kOwnerUnseen when the owner cannot be seen
};

// Maps a Linux TCP state (TCP_ESTABLISHED = 1 ... TCP_NEW_SYN_RECV = 12) onto TcpState;
// 0 for values the kernel does not define.
int32_t tcpStateFromLinux(int linuxState);

// Turns a row of the IPv6 tables into an IPv4 row when its addresses are IPv4-mapped
// (::ffff:a.b.c.d) or unspecified, with at least the local or the remote address mapped.
// Each address is four 32-bit words in network byte order. False for other IPv6 rows.
bool ipv4FromMapped(const uint32_t (&local)[4], const uint32_t (&remote)[4], SocketRow& row);

}  // namespace s::platform

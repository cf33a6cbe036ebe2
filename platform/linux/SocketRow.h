#pragma once

#include <cstdint>

#include "platform/linux/IpAddress.h"

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

// Owner pid of a row whose owning process cannot be seen: another user's, without the right.
inline constexpr int32_t kOwnerUnseen = -1;
// Owner pid of a row whose owning process lives outside this pid namespace, where /proc does
// not show it whatever the rights.
inline constexpr int32_t kOwnerOutside = -2;

// One socket of the kernel's tables. Addresses are in network byte order in memory (an IPv4
// word's first octet is its lowest byte on little-endian), ports in host order.
struct SocketRow {
  int32_t state = 0;  // TcpState for TCP, 0 for UDP
  SocketFamily family = SocketFamily::Ipv4;
  uint32_t localAddress = 0;  // IPv4 rows
  uint16_t localPort = 0;
  uint32_t remoteAddress = 0;
  uint16_t remotePort = 0;
  Ipv6Bytes localAddress6{};  // IPv6 and dual-stack rows
  Ipv6Bytes remoteAddress6{};
  uint64_t inode = 0;  // 0 for ownerless rows (TIME_WAIT, request sockets)
  uint32_t uid = 0;
  int32_t pid = 0;  // 0 when ownerless, kOwnerUnseen or kOwnerOutside when it cannot be seen
  // The payload bytes the kernel's TCP counters give (tcp_info), when the reading asked for
  // them and the socket has them.
  bool hasByteCounts = false;
  uint64_t bytesReceived = 0;
  uint64_t bytesSent = 0;
};

// Whether a reading of IPV6_V6ONLY came with an IPv6 row (netlink gives it for unconnected
// sockets, /proc never).
enum class V6Only : uint8_t { Unknown, Off, On };

// Maps a Linux TCP state (TCP_ESTABLISHED = 1 ... TCP_NEW_SYN_RECV = 12) onto TcpState;
// 0 for values the kernel does not define.
int32_t tcpStateFromLinux(int linuxState);

// Sets the addresses of a row of the IPv6 tables, each four 32-bit words in network byte order.
// Addresses that are IPv4-mapped (::ffff:a.b.c.d) or unspecified, with at least one mapped,
// make an IPv4 row: the IPv4 connections of a dual-stack socket. Both unspecified is a wildcard
// socket: dual-stack when IPV6_V6ONLY is known to be off, else IPv6. Anything else is IPv6.
void setIpv6TableAddresses(const uint32_t (&local)[4], const uint32_t (&remote)[4], V6Only v6Only,
                           SocketRow& row);

// Whether a row of the IPv6 tables is a wildcard socket ([::] on both sides).
bool isIpv6Wildcard(const SocketRow& row);

}  // namespace s::platform

#pragma once

#include <cstdint>

#include "framework/col/Map.h"
#include "network/TcpConnection.h"
#include "network/UdpConnection.h"

namespace s::system::network::win {

// Snapshots of the kernel's IPv4 and IPv6 tables as sets of records keyed by the record key. A
// set owns its records (they go back to their pool with it).
using TcpConnectionSet = col::Map<TcpConnection>;
using UdpConnectionSet = col::Map<UdpConnection>;

// Where the records' byte counts come from: the packet capture, which the cycle adds to records
// that start at 0, or the kernel's own TCP counters, which TCP records then carry (in payload
// bytes) while UDP records are not measured.
enum class Counting : uint8_t { Capture, KernelTotals };

// Never fail: an unreadable table gives an empty set. Rows without an owner (pid 0) are left
// out; the start time is the time of the reading.
PoolPtr<TcpConnectionSet> readTcpConnections(Counting counting = Counting::Capture);
PoolPtr<UdpConnectionSet> readUdpConnections(Counting counting = Counting::Capture);

// Asks the kernel to end the connection; the outcome shows in a later snapshot. A port out of
// range (-1 for a connection that is not ESTABLISHED) goes out as its low 16 bits.
void disconnectTcp(uint32_t localAddress, int32_t localPort, uint32_t remoteAddress,
                   int32_t remotePort);
void disconnectTcp6(const platform::Ipv6Bytes& localAddress, int32_t localPort,
                    const platform::Ipv6Bytes& remoteAddress, int32_t remotePort);

}  // namespace s::system::network::win

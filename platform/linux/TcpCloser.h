#pragma once

#include <cstdint>

#include "platform/linux/IpAddress.h"

namespace s::platform {

// Asks the kernel to end the IPv4 TCP connection with these endpoints (addresses in network
// order, ports in host order). Without CAP_NET_ADMIN of its own, the process hands the request
// to the rights helper when one serves it, and does not wait for the outcome. True when the
// connection was ended or the request handed over.
bool closeTcpConnection(uint32_t localAddress, uint16_t localPort, uint32_t remoteAddress,
                        uint16_t remotePort);
// The same for an IPv6 connection.
bool closeTcpConnection6(const Ipv6Bytes& localAddress, uint16_t localPort,
                         const Ipv6Bytes& remoteAddress, uint16_t remotePort);

}  // namespace s::platform

#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/linux/capture/IpDatagram.h"

namespace s::platform {

// Where a datagram stands among the fragments of a larger one.
struct Ipv6Fragment {
  bool present = false;  // it has a fragment header
  bool first = false;    // offset 0: the transport header is in it
  bool more = false;     // more fragments follow
  uint32_t id = 0;       // the fragment header's identification
};

// Reads an IPv6 datagram whose first `captured` bytes are at `data`, walking the chain of
// extension headers (hop-by-hop, routing, destination options, fragment, authentication,
// mobility, HIP, shim6) to its TCP or UDP header. Its length is the fixed header and the
// payload length, or `wireLength` for a jumbo datagram (payload length 0).
//
// A fragment after the first carries no ports: it is taken with its protocol, its ports left 0,
// and `fragment` says so; the caller knows its ports from the first fragment. Gives false,
// leaving `out` alone, for anything else: another version, another final protocol (ICMPv6,
// ESP, no next header), a chain or a transport header that does not fit the captured bytes or
// the payload length. No byte beyond `captured` is read.
bool parseIpv6Datagram(const uint8_t* data, size_t captured, uint32_t wireLength, IpDatagram& out,
                       Ipv6Fragment& fragment);

}  // namespace s::platform

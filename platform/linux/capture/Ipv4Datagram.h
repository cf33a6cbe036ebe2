#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/linux/capture/IpDatagram.h"

namespace s::platform {

// Reads a TCP or UDP IPv4 datagram whose first `captured` bytes are at `data` (the capture keeps
// only the headers); its length is the IP total length. Gives false, leaving `out` alone, for
// anything else and for a header that does not fit: a header length below 20 or beyond the captured
// bytes, a total length shorter than the header and the transport header's minimum, or ports past
// the captured bytes. No byte beyond `captured` is read.
bool parseIpv4Datagram(const uint8_t* data, size_t captured, IpDatagram& out);

}  // namespace s::platform

#pragma once

#include <cstdint>

#include "framework/str/StrBuffer.h"

namespace s::str {

// Byte count as "500 B", "1.50 KB", "4.76 MB", ... "-" for a negative count: in place of what
// out held, or in a new buffer.
StrBuffer& formatByteSize(StrBuffer& out, int64_t bytes);
PoolPtr<StrBuffer> formatByteSize(int64_t bytes);

// Dotted IPv4 text; the address's lowest byte is the first octet. out as above.
StrBuffer& formatIPv4(StrBuffer& out, uint32_t address);
PoolPtr<StrBuffer> formatIPv4(uint32_t address);
void appendIPv4(StrBuffer& out, uint32_t address);

// An IPv6 address (16 bytes in network order) in its RFC 5952 text: lower-case hexadecimal
// groups without leading zeros, the first longest run of two or more zero groups as "::", and
// an IPv4-mapped address as "::ffff:" and its dotted IPv4 text. In place of what out held.
StrBuffer& formatIPv6(StrBuffer& out, const uint8_t* address);
void appendIPv6(StrBuffer& out, const uint8_t* address);

}  // namespace s::str

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

}  // namespace s::str

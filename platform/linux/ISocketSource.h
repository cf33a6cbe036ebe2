#pragma once

#include <vector>

#include "platform/linux/SocketRow.h"

namespace s::platform {

// Whether a reading brings the kernel's TCP byte counters along; asking costs a larger dump.
enum class ByteCounts : uint8_t { Without, FromTcpInfo };

// One way of listing the kernel's sockets of a protocol.
class ISocketSource {
 public:
  virtual ~ISocketSource() = default;

  // Replaces `rows` with the IPv4 and IPv6 sockets of `protocol`, with pid 0. False, with errno
  // kept, when the table cannot be read; `rows` then holds what was read before the failure. A
  // source that has no byte counters leaves the rows without them.
  virtual bool read(Protocol protocol, ByteCounts counts, std::vector<SocketRow>& rows) = 0;
};

}  // namespace s::platform

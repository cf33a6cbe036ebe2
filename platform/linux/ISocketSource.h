#pragma once

#include <vector>

#include "platform/linux/SocketRow.h"

namespace s::platform {

// One way of listing the kernel's IPv4 sockets of a protocol.
class ISocketSource {
 public:
  virtual ~ISocketSource() = default;

  // Replaces `rows` with the IPv4 sockets of `protocol`, the IPv4-mapped rows of the IPv6 table
  // included, with pid 0. False, with errno kept, when the table cannot be read; `rows` then
  // holds what was read before the failure.
  virtual bool read(Protocol protocol, std::vector<SocketRow>& rows) = 0;
};

}  // namespace s::platform

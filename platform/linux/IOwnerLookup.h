#pragma once

#include <cstdint>
#include <span>

#include "platform/linux/SocketRow.h"

namespace s::platform {

// Another way of finding the owners of sockets that this process cannot trace itself.
class IOwnerLookup {
 public:
  virtual ~IOwnerLookup() = default;

  // Sets pids[i] to the process that holds inodes[i], or 0 when it finds none. False when it
  // could not look (every pid then 0); true says that a 0 is a socket no process of this pid
  // namespace holds.
  virtual bool findOwners(Protocol protocol, std::span<const uint64_t> inodes,
                          std::span<int32_t> pids) = 0;
};

}  // namespace s::platform

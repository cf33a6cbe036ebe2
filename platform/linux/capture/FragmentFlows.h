#pragma once

#include <array>
#include <cstdint>

#include "platform/linux/capture/IpDatagram.h"

namespace s::platform {

// Gives the later fragments of a datagram the ports its first fragment carried, so that each
// fragment counts once, under the datagram's flow. A fragment that comes before its first one
// waits and is handed out when the first arrives. It keeps the latest datagrams only: the one
// used longest ago makes room, and what still waited in it is not counted.
class FragmentFlows {
 public:
  static constexpr uint32_t kCapacity = 64;

  // A first fragment: remembers its flow; gives the bytes of its later fragments that came
  // before it (0 when none did).
  uint32_t noteFirst(const IpDatagram& first, uint32_t id);
  // A later fragment: gives it its datagram's ports and true once the first fragment has been
  // seen; otherwise keeps its bytes for that moment and gives false.
  bool attribute(IpDatagram& later, uint32_t id);

 private:
  struct Entry {
    IpAddress source;
    IpAddress destination;
    uint32_t id = 0;
    uint8_t protocol = 0;
    bool known = false;  // the first fragment has been seen
    uint16_t sourcePort = 0;
    uint16_t destinationPort = 0;
    uint32_t waitingBytes = 0;
    uint64_t used = 0;  // 0: free
  };
  Entry& entryFor(const IpDatagram& datagram, uint32_t id);

  std::array<Entry, kCapacity> entries_{};
  uint64_t clock_ = 0;
};

}  // namespace s::platform

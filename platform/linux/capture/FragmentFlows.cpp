#include "platform/linux/capture/FragmentFlows.h"

namespace s::platform {

FragmentFlows::Entry& FragmentFlows::entryFor(const IpDatagram& datagram, uint32_t id) {
  Entry* oldest = &entries_[0];
  for (Entry& entry : entries_) {
    if (entry.used != 0 && entry.id == id && entry.protocol == datagram.protocol &&
        entry.source == datagram.source && entry.destination == datagram.destination) {
      entry.used = ++clock_;
      return entry;
    }
    if (entry.used < oldest->used) {
      oldest = &entry;
    }
  }
  *oldest = Entry{datagram.source, datagram.destination, id, datagram.protocol};
  oldest->used = ++clock_;
  return *oldest;
}

uint32_t FragmentFlows::noteFirst(const IpDatagram& first, uint32_t id) {
  Entry& entry = entryFor(first, id);
  if (entry.known) {
    return 0;  // a copy of the first fragment
  }
  entry.known = true;
  entry.sourcePort = first.sourcePort;
  entry.destinationPort = first.destinationPort;
  uint32_t waiting = entry.waitingBytes;
  entry.waitingBytes = 0;
  return waiting;
}

bool FragmentFlows::attribute(IpDatagram& later, uint32_t id) {
  Entry& entry = entryFor(later, id);
  if (!entry.known) {
    entry.waitingBytes += later.length;
    return false;
  }
  later.sourcePort = entry.sourcePort;
  later.destinationPort = entry.destinationPort;
  return true;
}

}  // namespace s::platform

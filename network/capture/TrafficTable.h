#pragma once

#include <cstdint>

#include "framework/base/Cleaners.h"
#include "framework/col/MapTable.h"
#include "framework/str/Format.h"
#include "framework/str/StrBuffer.h"
#include "platform/linux/IpAddress.h"

namespace s::system::network {

// The bytes of one traffic key in one interval: first received, then sent.
struct TrafficCount {
  uint64_t received = 0;
  uint64_t sent = 0;
};
static_assert(sizeof(TrafficCount) == 16);

// Traffic key ("TCP,10.0.0.5:80-10.0.0.9:4000", "UDP,10.0.0.5:53") to the interval's counts. The
// table owns both: keys go back to the text pool, counts (malloc'd blocks) are freed.
using TrafficTable = col::map::MapTable<str::StrBuffer, TrafficCount>;

// Appends an endpoint as traffic keys write it: the address (an IPv6 one in brackets, it has
// colons of its own), ":" and the port, or nothing after the colon for a negative port. The
// capture's keys and the records' keys are written by this one function, so that they meet.
inline void appendTrafficEndpoint(str::StrBuffer& key, const platform::IpAddress& address,
                                  int32_t port) {
  if (address.family == platform::IpFamily::V4) {
    str::appendIPv4(key, address.word());
  } else {
    key.appendChar(u'[');
    str::appendIPv6(key, address.bytes.data());
    key.appendChar(u']');
  }
  key.appendChar(u':');
  if (port >= 0) {
    key.appendU32(static_cast<uint32_t>(port));
  }
}

// A new empty traffic table.
inline PoolPtr<TrafficTable> takeEmptyTrafficTable() {
  auto* keys = &str::StrBuffer::pool();
  auto* counts = &CleanerRaw<TrafficCount>::instance();
  return TrafficTable::make(false, keys, counts, keys, counts);
}

}  // namespace s::system::network

#pragma once

#include <cstdint>

#include "framework/base/Cleaners.h"
#include "framework/col/MapTable.h"
#include "framework/str/StrBuffer.h"

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

// A new empty traffic table.
inline PoolPtr<TrafficTable> takeEmptyTrafficTable() {
  auto* keys = &str::StrBuffer::pool();
  auto* counts = &CleanerRaw<TrafficCount>::instance();
  return TrafficTable::make(false, keys, counts, keys, counts);
}

}  // namespace s::system::network

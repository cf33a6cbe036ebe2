#pragma once

#include <cstdint>

#include "framework/base/Pooled.h"
#include "framework/col/MapTable.h"
#include "framework/str/StrBuffer.h"

namespace s::system::network {

// The bytes counted for one traffic key over one interval.
class TrafficCounts final : public Pooled<TrafficCounts, PoolableObject> {
 public:
  void reset() override {
    received = 0;
    sent = 0;
  }
  std::u16string_view className() const override { return u"s_system_network_TrafficCounts"; }

  uint64_t received = 0;
  uint64_t sent = 0;
};

// Traffic key ("TCP,10.0.0.5:80-10.0.0.9:4000", "UDP,0.0.0.0:53") to the interval's counts.
using TrafficTable = col::MapTable<str::StrBuffer, TrafficCounts>;

}  // namespace s::system::network

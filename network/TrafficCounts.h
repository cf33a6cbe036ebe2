#pragma once

#include "network/capture/TrafficTable.h"

namespace s::system::network {

// The records add up the tables the capture hands over: one table type for both.
using TrafficCounts = TrafficCount;

}  // namespace s::system::network

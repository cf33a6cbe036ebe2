#pragma once

#include <cstdint>

namespace bench {

// Calls of the global operator new so far; this program replaces the operator to count them.
uint64_t allocationCount();

}  // namespace bench

#pragma once

#include <cstdint>
#include <string_view>

#include "framework/str/StrBuffer.h"

namespace s::system::network {

// Reverse host-name lookups of address texts (dotted IPv4, IPv6), remembered for the program's
// life: names in the name table, addresses without a name in the no-name set. Each answer is a
// fresh text.

// Blocks for the system lookups: the host name, or the address itself when it is known to have
// no name, or an empty text when this lookup found none (later calls give the address).
PoolPtr<str::StrBuffer> resolveHostNameNow(std::u16string_view address);

// Never blocks on the network: the cached name, or the address when it has none, or an empty
// text after queueing the address for the background resolver. The queue holds an address
// once, however often it is asked for while its lookup waits.
PoolPtr<str::StrBuffer> lookupHostName(std::u16string_view address);

// How many addresses went to the system resolver so far.
uint64_t hostLookupCount();
// How many addresses are queued or being resolved.
uint32_t pendingHostCount();

}  // namespace s::system::network

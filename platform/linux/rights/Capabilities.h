#pragma once

#include <cstdint>

#include "platform/linux/rights/RightsMessages.h"

namespace s::platform {

// A set of capabilities, one bit per CAP_* number.
using CapabilityBits = uint64_t;

constexpr CapabilityBits capabilityBit(int capability) {
  return CapabilityBits{1} << capability;
}

// The capability sets of the calling thread (the kernel keeps them per thread).
struct CapabilitySets {
  CapabilityBits effective = 0;
  CapabilityBits permitted = 0;
  CapabilityBits inheritable = 0;
};

// False with errno kept when the kernel refuses.
bool readCapabilities(CapabilitySets& sets);
bool writeCapabilities(const CapabilitySets& sets);

// The capabilities each right needs.
CapabilityBits capabilitiesOf(uint16_t rights);
// The rights whose capabilities are all in `bits`.
uint16_t rightsIn(CapabilityBits bits);

// The rights the calling thread lacks in its effective set.
uint16_t missingRights();

}  // namespace s::platform

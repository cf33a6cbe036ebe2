#include "platform/linux/rights/Capabilities.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <initializer_list>

namespace s::platform {

namespace {

// The kernel's two 32-bit words per set, low word first.
constexpr int kWords = _LINUX_CAPABILITY_U32S_3;

CapabilityBits join(uint32_t low, uint32_t high) {
  return (static_cast<CapabilityBits>(high) << 32) | low;
}

}  // namespace

bool readCapabilities(CapabilitySets& sets) {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[kWords] = {};
  if (syscall(SYS_capget, &header, data) != 0) {
    return false;
  }
  sets.effective = join(data[0].effective, data[1].effective);
  sets.permitted = join(data[0].permitted, data[1].permitted);
  sets.inheritable = join(data[0].inheritable, data[1].inheritable);
  return true;
}

bool writeCapabilities(const CapabilitySets& sets) {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[kWords] = {};
  for (int word = 0; word < kWords; ++word) {
    const int shift = 32 * word;
    data[word].effective = static_cast<uint32_t>(sets.effective >> shift);
    data[word].permitted = static_cast<uint32_t>(sets.permitted >> shift);
    data[word].inheritable = static_cast<uint32_t>(sets.inheritable >> shift);
  }
  return syscall(SYS_capset, &header, data) == 0;
}

CapabilityBits capabilitiesOf(uint16_t rights) {
  CapabilityBits bits = 0;
  if ((rights & rights::kRightCapture) != 0) {
    bits |= capabilityBit(CAP_NET_RAW);
  }
  if ((rights & rights::kRightDestroy) != 0) {
    bits |= capabilityBit(CAP_NET_ADMIN);
  }
  // Another user's /proc/<pid>/fd is mode 0500: listing it needs CAP_DAC_READ_SEARCH, reading
  // its links CAP_SYS_PTRACE.
  if ((rights & rights::kRightOwners) != 0) {
    bits |= capabilityBit(CAP_SYS_PTRACE) | capabilityBit(CAP_DAC_READ_SEARCH);
  }
  return bits;
}

uint16_t rightsIn(CapabilityBits bits) {
  uint16_t rights = 0;
  for (uint16_t right : {rights::kRightCapture, rights::kRightDestroy, rights::kRightOwners}) {
    const CapabilityBits needed = capabilitiesOf(right);
    if ((bits & needed) == needed) {
      rights |= right;
    }
  }
  return rights;
}

uint16_t missingRights() {
  CapabilitySets sets;
  if (!readCapabilities(sets)) {
    return rights::kAllRights;
  }
  return static_cast<uint16_t>(rights::kAllRights & ~rightsIn(sets.effective));
}

}  // namespace s::platform

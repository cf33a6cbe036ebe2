#include "platform/linux/rights/helper/HelperRights.h"

#include <sys/prctl.h>

#include "platform/linux/rights/Capabilities.h"

namespace s::platform {

namespace {

bool lowerAll() {
  CapabilitySets sets;
  if (!readCapabilities(sets)) {
    return false;
  }
  sets.effective = 0;
  return writeCapabilities(sets);
}

}  // namespace

uint16_t keepOnlyRightsCapabilities() {
  CapabilitySets sets;
  if (!readCapabilities(sets)) {
    return 0;
  }
  CapabilitySets kept;
  kept.permitted = sets.permitted & capabilitiesOf(rights::kAllRights);
  if (!writeCapabilities(kept)) {
    return 0;
  }
  // Ambient capabilities would reach a program this process started; it starts none.
  prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0);
  return rightsIn(kept.permitted);
}

RaisedRight::RaisedRight(uint16_t right) {
  CapabilitySets sets;
  if (!readCapabilities(sets)) {
    return;
  }
  const CapabilityBits wanted = capabilitiesOf(right);
  sets.effective = sets.permitted & wanted;
  raised_ = sets.effective == wanted && writeCapabilities(sets);
}

RaisedRight::~RaisedRight() {
  if (raised_) {
    lowerAll();
  }
}

}  // namespace s::platform

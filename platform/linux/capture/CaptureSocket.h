#pragma once

#include <linux/filter.h>

#include <cstddef>
#include <cstdint>

#include "platform/linux/rights/UniqueFd.h"

namespace s::platform {

// The steps of opening and reading a capture, as failure texts name them. The numbers travel in
// the rights helper's answers.
enum class CaptureStep : uint16_t {
  kNone = 0,
  kRightsHelper,  // asking the rights helper failed
  kInterfaceLookup,
  kEventFd,
  kSocket,
  kAttachFilter,
  kLockFilter,
  kPacketVersion,
  kReceiveRing,
  kBind,
  kMap,
  kPoll,
};
inline constexpr uint16_t kCaptureStepCount = static_cast<uint16_t>(CaptureStep::kPoll) + 1;

// "socket()", "bind()", ...; "" for kNone.
const char* captureStepName(CaptureStep step);

// The receive ring of every capture socket: 16 blocks of 256 KiB hold some 25,000 truncated
// frames, 25 ms at 1 Mpps.
inline constexpr uint32_t kRingBlockSize = 1U << 18;
inline constexpr uint32_t kRingBlockCount = 16;
inline constexpr uint32_t kRingFrameSize = 1U << 11;
inline constexpr size_t kRingSize = static_cast<size_t>(kRingBlockSize) * kRingBlockCount;

// What needs CAP_NET_RAW in a capture: a packet socket on interface `ifindex` with `filter`
// attached and locked (whoever holds the socket later cannot widen what it sees), its TPACKET_V3
// receive ring set up, bound to every protocol. Gives 0 and the socket in `fd`, or the errno of
// the step that failed, which `step` names.
int openCaptureSocket(int ifindex, const sock_fprog* filter, UniqueFd& fd, CaptureStep& step);

}  // namespace s::platform

#include "platform/linux/capture/CaptureSocket.h"

#include <arpa/inet.h>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <sys/socket.h>

#include <cerrno>

namespace s::platform {

namespace {

// A block that is not full reaches user space after this many milliseconds.
constexpr uint32_t kRetireTimeoutMs = 10;

int failed(CaptureStep failedStep, CaptureStep& step, UniqueFd& fd) {
  int error = errno;
  step = failedStep;
  fd.reset();
  return error;
}

}  // namespace

const char* captureStepName(CaptureStep step) {
  switch (step) {
    case CaptureStep::kNone:
      return "";
    case CaptureStep::kRightsHelper:
      return "netvigil-rights";
    case CaptureStep::kInterfaceLookup:
      return "interface lookup";
    case CaptureStep::kEventFd:
      return "eventfd()";
    case CaptureStep::kSocket:
      return "socket()";
    case CaptureStep::kAttachFilter:
      return "setsockopt(SO_ATTACH_FILTER)";
    case CaptureStep::kLockFilter:
      return "setsockopt(SO_LOCK_FILTER)";
    case CaptureStep::kPacketVersion:
      return "setsockopt(PACKET_VERSION)";
    case CaptureStep::kReceiveRing:
      return "setsockopt(PACKET_RX_RING)";
    case CaptureStep::kBind:
      return "bind()";
    case CaptureStep::kMap:
      return "mmap()";
    case CaptureStep::kPoll:
      return "poll()";
  }
  return "";
}

int openCaptureSocket(int ifindex, const sock_fprog* filter, UniqueFd& fd, CaptureStep& step) {
  // Protocol 0: nothing is queued before the filter and the ring are in place and bind() names
  // the protocol.
  fd.reset(::socket(AF_PACKET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  if (!fd.valid()) {
    return failed(CaptureStep::kSocket, step, fd);
  }
  if (setsockopt(fd.get(), SOL_SOCKET, SO_ATTACH_FILTER, filter, sizeof *filter) != 0) {
    return failed(CaptureStep::kAttachFilter, step, fd);
  }
  int one = 1;
  if (setsockopt(fd.get(), SOL_SOCKET, SO_LOCK_FILTER, &one, sizeof one) != 0) {
    return failed(CaptureStep::kLockFilter, step, fd);
  }
  int version = TPACKET_V3;
  if (setsockopt(fd.get(), SOL_PACKET, PACKET_VERSION, &version, sizeof version) != 0) {
    return failed(CaptureStep::kPacketVersion, step, fd);
  }
  tpacket_req3 request{};
  request.tp_block_size = kRingBlockSize;
  request.tp_block_nr = kRingBlockCount;
  request.tp_frame_size = kRingFrameSize;
  request.tp_frame_nr = kRingBlockSize / kRingFrameSize * kRingBlockCount;
  request.tp_retire_blk_tov = kRetireTimeoutMs;
  if (setsockopt(fd.get(), SOL_PACKET, PACKET_RX_RING, &request, sizeof request) != 0) {
    return failed(CaptureStep::kReceiveRing, step, fd);
  }
  sockaddr_ll address{};
  address.sll_family = AF_PACKET;
  address.sll_protocol = htons(ETH_P_ALL);
  address.sll_ifindex = ifindex;
  if (bind(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    return failed(CaptureStep::kBind, step, fd);
  }
  step = CaptureStep::kNone;
  return 0;
}

}  // namespace s::platform

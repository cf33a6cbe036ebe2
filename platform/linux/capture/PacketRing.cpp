#include "platform/linux/capture/PacketRing.h"

#include <linux/if_packet.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace s::platform {

namespace {

tpacket_block_desc* blockAt(uint8_t* ring, uint32_t blockSize, uint32_t index) {
  return reinterpret_cast<tpacket_block_desc*>(ring + static_cast<size_t>(index) * blockSize);
}

bool blockIsUsers(const tpacket_block_desc* block) {
  return (__atomic_load_n(&block->hdr.bh1.block_status, __ATOMIC_ACQUIRE) & TP_STATUS_USER) != 0;
}

}  // namespace

int PacketRing::probe() {
  int fd = ::socket(AF_PACKET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    return errno;
  }
  ::close(fd);
  return 0;
}

// The wake-up descriptor lives as long as the ring, so that wake() never races with open().
PacketRing::PacketRing() : wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
  wakeError_ = wakeFd_ < 0 ? errno : 0;
}

PacketRing::~PacketRing() {
  close();
  if (wakeFd_ >= 0) {
    ::close(wakeFd_);
  }
}

int PacketRing::open(int ifindex, const sock_fprog* filter) {
  close();
  UniqueFd socket;
  CaptureStep step = CaptureStep::kNone;
  int error = openCaptureSocket(ifindex, filter, socket, step);
  if (error != 0) {
    failedStep_ = captureStepName(step);
    return error;
  }
  return adopt(std::move(socket));
}

int PacketRing::adopt(UniqueFd socket) {
  close();
  if (wakeFd_ < 0) {
    failedStep_ = captureStepName(CaptureStep::kEventFd);
    return wakeError_;
  }
  void* ring =
      mmap(nullptr, kRingSize, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, socket.get(), 0);
  if (ring == MAP_FAILED) {
    failedStep_ = captureStepName(CaptureStep::kMap);
    return errno;
  }
  socket_ = std::move(socket);
  ring_ = static_cast<uint8_t*>(ring);
  ringSize_ = kRingSize;
  blockSize_ = kRingBlockSize;
  blockCount_ = kRingBlockCount;
  nextBlock_ = 0;
  failedStep_ = "";
  return 0;
}

void PacketRing::close() {
  if (ring_ != nullptr) {
    munmap(ring_, ringSize_);
    ring_ = nullptr;
    ringSize_ = 0;
  }
  socket_.reset();
}

void PacketRing::wake() {
  if (wakeFd_ >= 0) {
    uint64_t one = 1;
    // The counter only saturates; a failed write still leaves it readable.
    ssize_t written = write(wakeFd_, &one, sizeof one);
    (void)written;
  }
}

bool PacketRing::waitForBlock() {
  pollfd fds[2] = {{socket_.get(), POLLIN | POLLERR, 0}, {wakeFd_, POLLIN, 0}};
  while (poll(fds, 2, -1) < 0) {
    if (errno != EINTR) {
      waitError_ = errno;
      failedStep_ = captureStepName(CaptureStep::kPoll);
      return false;
    }
  }
  if ((fds[1].revents & POLLIN) != 0) {
    uint64_t count = 0;
    ssize_t drained = read(wakeFd_, &count, sizeof count);
    (void)drained;
  }
  // The interface went down or away (ENETDOWN): the socket will capture nothing more.
  if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
    int error = 0;
    socklen_t size = sizeof error;
    if (getsockopt(socket_.get(), SOL_SOCKET, SO_ERROR, &error, &size) != 0) {
      error = errno;
    }
    if (error != 0 || (fds[0].revents & POLLERR) == 0) {
      waitError_ = error != 0 ? error : ENETDOWN;
      failedStep_ = captureStepName(CaptureStep::kPoll);
      return false;
    }
  }
  return true;
}

int PacketRing::readFrames(FrameHandler handler, void* context) {
  if (ring_ == nullptr) {
    failedStep_ = captureStepName(CaptureStep::kPoll);
    return EBADF;
  }
  tpacket_block_desc* block = blockAt(ring_, blockSize_, nextBlock_);
  if (!blockIsUsers(block)) {
    if (!waitForBlock()) {
      return waitError_;
    }
  }
  // At most one turn of the ring per call, so that a caller under steady load still gets to
  // look at its stop request.
  for (uint32_t turn = 0; turn < blockCount_ && blockIsUsers(block); ++turn) {
    const uint32_t frames = block->hdr.bh1.num_pkts;
    const uint8_t* frame =
        reinterpret_cast<const uint8_t*>(block) + block->hdr.bh1.offset_to_first_pkt;
    for (uint32_t i = 0; i < frames; ++i) {
      const auto* header = reinterpret_cast<const tpacket3_hdr*>(frame);
      // tp_snaplen counts from tp_mac; the datagram begins at tp_net.
      const uint32_t mac = header->tp_mac;
      const uint32_t net = header->tp_net;
      if (net >= mac && net - mac <= header->tp_snaplen && net - mac <= header->tp_len) {
        handler(context, frame + net, header->tp_snaplen - (net - mac),
                header->tp_len - (net - mac));
      }
      frame += header->tp_next_offset;
    }
    __atomic_store_n(&block->hdr.bh1.block_status, TP_STATUS_KERNEL, __ATOMIC_RELEASE);
    nextBlock_ = (nextBlock_ + 1) % blockCount_;
    block = blockAt(ring_, blockSize_, nextBlock_);
  }
  return 0;
}

uint32_t PacketRing::takeDrops() {
  tpacket_stats_v3 stats{};
  socklen_t size = sizeof stats;
  if (!socket_.valid() ||
      getsockopt(socket_.get(), SOL_PACKET, PACKET_STATISTICS, &stats, &size) != 0) {
    return 0;
  }
  return stats.tp_drops;
}

}  // namespace s::platform

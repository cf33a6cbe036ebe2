#include "platform/linux/capture/PacketRing.h"

#include <arpa/inet.h>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace s::platform {

namespace {

// 16 blocks of 256 KiB hold some 25,000 truncated frames: 25 ms at 1 Mpps.
constexpr uint32_t kBlockSize = 1U << 18;
constexpr uint32_t kBlockCount = 16;
constexpr uint32_t kFrameSize = 1U << 11;
// A block that is not full reaches user space after this many milliseconds.
constexpr uint32_t kRetireTimeoutMs = 10;

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

int PacketRing::fail(const char* step) {
  int error = errno;
  failedStep_ = step;
  close();
  return error;
}

int PacketRing::open(int ifindex, const sock_fprog* filter) {
  close();
  if (wakeFd_ < 0) {
    failedStep_ = "eventfd()";
    return wakeError_;
  }
  // Protocol 0: nothing is queued before the filter and the ring are in place and bind() names
  // the protocol.
  socket_ = ::socket(AF_PACKET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (socket_ < 0) {
    return fail("socket()");
  }
  if (setsockopt(socket_, SOL_SOCKET, SO_ATTACH_FILTER, filter, sizeof *filter) != 0) {
    return fail("setsockopt(SO_ATTACH_FILTER)");
  }
  int version = TPACKET_V3;
  if (setsockopt(socket_, SOL_PACKET, PACKET_VERSION, &version, sizeof version) != 0) {
    return fail("setsockopt(PACKET_VERSION)");
  }
  tpacket_req3 request{};
  request.tp_block_size = kBlockSize;
  request.tp_block_nr = kBlockCount;
  request.tp_frame_size = kFrameSize;
  request.tp_frame_nr = kBlockSize / kFrameSize * kBlockCount;
  request.tp_retire_blk_tov = kRetireTimeoutMs;
  if (setsockopt(socket_, SOL_PACKET, PACKET_RX_RING, &request, sizeof request) != 0) {
    return fail("setsockopt(PACKET_RX_RING)");
  }
  ringSize_ = static_cast<size_t>(kBlockSize) * kBlockCount;
  void* ring =
      mmap(nullptr, ringSize_, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, socket_, 0);
  if (ring == MAP_FAILED) {
    ringSize_ = 0;
    return fail("mmap()");
  }
  ring_ = static_cast<uint8_t*>(ring);
  blockSize_ = kBlockSize;
  blockCount_ = kBlockCount;
  nextBlock_ = 0;
  sockaddr_ll address{};
  address.sll_family = AF_PACKET;
  address.sll_protocol = htons(ETH_P_ALL);
  address.sll_ifindex = ifindex;
  if (bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    return fail("bind()");
  }
  failedStep_ = "";
  return 0;
}

void PacketRing::close() {
  if (ring_ != nullptr) {
    munmap(ring_, ringSize_);
    ring_ = nullptr;
    ringSize_ = 0;
  }
  if (socket_ >= 0) {
    ::close(socket_);
    socket_ = -1;
  }
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
  pollfd fds[2] = {{socket_, POLLIN | POLLERR, 0}, {wakeFd_, POLLIN, 0}};
  while (poll(fds, 2, -1) < 0) {
    if (errno != EINTR) {
      waitError_ = errno;
      failedStep_ = "poll()";
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
    if (getsockopt(socket_, SOL_SOCKET, SO_ERROR, &error, &size) != 0) {
      error = errno;
    }
    if (error != 0 || (fds[0].revents & POLLERR) == 0) {
      waitError_ = error != 0 ? error : ENETDOWN;
      failedStep_ = "poll()";
      return false;
    }
  }
  return true;
}

int PacketRing::readFrames(FrameHandler handler, void* context) {
  if (ring_ == nullptr) {
    failedStep_ = "poll()";
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
  if (socket_ < 0 || getsockopt(socket_, SOL_PACKET, PACKET_STATISTICS, &stats, &size) != 0) {
    return 0;
  }
  return stats.tp_drops;
}

}  // namespace s::platform

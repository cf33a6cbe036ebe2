#pragma once

#include <linux/filter.h>

#include <cstddef>
#include <cstdint>

#include "platform/linux/capture/CaptureSocket.h"
#include "platform/linux/rights/UniqueFd.h"

namespace s::platform {

// A packet socket on one interface, read through a TPACKET_V3 receive ring. Its frames start at
// the network header whatever the link type (Ethernet, veth, tun, ...), and it sees the
// interface's outgoing datagrams as well as its incoming ones. A kernel filter decides what
// reaches the ring.
class PacketRing {
 public:
  // Whether this process may open packet sockets: 0, or the errno of the refused socket()
  // (EPERM without CAP_NET_RAW).
  static int probe();

  // Receives the bytes kept of one frame, from its network header on, and the frame's length
  // on the wire from there.
  using FrameHandler = void (*)(void* context, const uint8_t* data, uint32_t captured,
                                uint32_t length);

  PacketRing();
  ~PacketRing();
  PacketRing(const PacketRing&) = delete;
  PacketRing& operator=(const PacketRing&) = delete;

  // Opens the socket on interface `ifindex` with `filter` attached and maps its ring. Gives 0, or
  // the errno of the step that failed, which failedStep() names ("socket()", "bind()", ...).
  int open(int ifindex, const sock_fprog* filter);
  // Maps the ring of a socket that openCaptureSocket() opened, here or in the rights helper,
  // and owns the socket. Gives 0, or the errno of the failed step.
  int adopt(UniqueFd socket);
  void close();
  bool isOpen() const { return socket_.valid(); }

  // Hands every frame of the blocks the kernel has filled to `handler`; when none is filled,
  // first waits for one or for wake(). Gives 0, or the errno of a failed wait.
  int readFrames(FrameHandler handler, void* context);

  // Ends the present or next wait of readFrames at once; callable from any thread.
  void wake();

  // The datagrams the kernel had to drop for want of ring space since the last call.
  uint32_t takeDrops();

  const char* failedStep() const { return failedStep_; }

 private:
  bool waitForBlock();

  UniqueFd socket_;
  int wakeFd_;
  int wakeError_ = 0;
  uint8_t* ring_ = nullptr;
  size_t ringSize_ = 0;
  uint32_t blockSize_ = 0;
  uint32_t blockCount_ = 0;
  uint32_t nextBlock_ = 0;
  int waitError_ = 0;
  const char* failedStep_ = "";
};

}  // namespace s::platform

#pragma once

#include <atomic>
#include <cstdint>

#include "platform/linux/IpAddress.h"
#include "platform/linux/capture/CaptureFilter.h"
#include "platform/linux/capture/FragmentFlows.h"
#include "platform/linux/capture/IpDatagram.h"
#include "platform/linux/capture/PacketRing.h"

namespace s::platform {

// Receives the TCP and UDP datagrams of one watched address.
class IDatagramSink {
 public:
  virtual ~IDatagramSink() = default;
  // `sent` is true when the watched address is the datagram's source. A datagram from the
  // address to itself is reported once, as sent. Each fragment of a fragmented IPv6 datagram
  // is reported with its own length and the datagram's ports.
  virtual void onDatagram(bool sent, const IpDatagram& datagram) = 0;
  // Datagrams the kernel dropped from the ring for want of space, at most once a second while
  // they are lost and once more when the run ends.
  virtual void onDrops(uint32_t dropped) = 0;
};

// The capture of every IPv4 or IPv6 datagram sent from or received at one local address, in
// both directions, on the interface that holds the address.
class AddressCapture {
 public:
  // Opens the capture for `address` on interface `ifindex`, or on the interface that holds it
  // when `ifindex` is 0 (a link-local address names its own). Without CAP_NET_RAW of its own
  // the process takes the socket from the rights helper when one serves it. Gives 0, or the
  // errno of the failed step, which failedStep() names; EPERM or EACCES (see isAccessDenied)
  // mean neither the process nor a helper may capture.
  int open(const IpAddress& address, int ifindex = 0);
  void close() { ring_.close(); }
  bool isOpen() const { return ring_.isOpen(); }

  // Reports datagrams to `sink` until stop(). Gives 0 when stopped (the stop is then used up),
  // or the errno of a failed wait.
  int run(IDatagramSink& sink);

  // Makes the present or next run() return at once; callable from any thread.
  void stop();
  // Forgets a stop that no run() has used up.
  void clearStop() { stopRequested_.store(false, std::memory_order_relaxed); }

  const char* failedStep() const { return failedStep_; }

 private:
  static void onFrame(void* context, const uint8_t* data, uint32_t captured, uint32_t length);
  void onIpv6Frame(const uint8_t* data, uint32_t captured, uint32_t length);
  void report(const IpDatagram& datagram);
  void reportDrops();
  // The socket from the rights helper; `refusal` when there is none to ask.
  int openThroughHelper(int ifindex, int refusal);

  PacketRing ring_;
  IpAddress address_;
  IDatagramSink* sink_ = nullptr;
  FragmentFlows fragments_;
  std::atomic<bool> stopRequested_{false};
  const char* failedStep_ = "";
};

}  // namespace s::platform

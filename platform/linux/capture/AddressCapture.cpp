#include "platform/linux/capture/AddressCapture.h"

#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/linux/capture/ErrnoName.h"
#include "platform/linux/capture/Ipv4Datagram.h"
#include "platform/linux/capture/Ipv6Datagram.h"
#include "platform/linux/capture/Rtnetlink.h"
#include "platform/linux/rights/RightsClient.h"

namespace s::platform {

int AddressCapture::open(const IpAddress& address, int ifindex) {
  ring_.close();
  address_ = address;
  fragments_ = FragmentFlows();
  if (ifindex == 0) {
    ifindex = interfaceHoldingAddress(address);
  }
  if (ifindex == 0) {
    failedStep_ = "interface lookup";
    return errno != 0 ? errno : EADDRNOTAVAIL;
  }
  CaptureFilter filter = captureFilter(address);
  sock_fprog program = filter.program();
  int error = ring_.open(ifindex, &program);
  failedStep_ = ring_.failedStep();
  if (isAccessDenied(error)) {
    error = openThroughHelper(ifindex, error);
  }
  return error;
}

int AddressCapture::openThroughHelper(int ifindex, int refusal) {
  RightsClient* rights = RightsClient::current();
  if (rights == nullptr || !rights->serves(rights::kRightCapture)) {
    return refusal;
  }
  uint8_t bytes[16] = {};
  std::memcpy(bytes, address_.bytes.data(), sizeof bytes);
  RightsClient::CaptureSocket answer = rights->openCaptureSocket(
      ifindex, address_.family == IpFamily::V4 ? AF_INET : AF_INET6, bytes);
  if (!answer.socket.valid()) {
    CaptureStep step = answer.answered && answer.step < kCaptureStepCount
                           ? static_cast<CaptureStep>(answer.step)
                           : CaptureStep::kRightsHelper;
    failedStep_ = captureStepName(step);
    return answer.error;
  }
  int error = ring_.adopt(std::move(answer.socket));
  failedStep_ = ring_.failedStep();
  return error;
}

void AddressCapture::stop() {
  stopRequested_.store(true, std::memory_order_release);
  ring_.wake();
}

void AddressCapture::report(const IpDatagram& datagram) {
  if (datagram.source == address_) {
    sink_->onDatagram(true, datagram);
  } else if (datagram.destination == address_) {
    sink_->onDatagram(false, datagram);
  }
}

void AddressCapture::onIpv6Frame(const uint8_t* data, uint32_t captured, uint32_t length) {
  IpDatagram datagram;
  Ipv6Fragment fragment;
  if (!parseIpv6Datagram(data, captured, length, datagram, fragment)) {
    return;
  }
  if (fragment.present && fragment.first) {
    uint32_t early = fragments_.noteFirst(datagram, fragment.id);
    report(datagram);
    if (early != 0) {
      datagram.length = early;
      report(datagram);
    }
    return;
  }
  if (!fragment.present || fragments_.attribute(datagram, fragment.id)) {
    report(datagram);
  }
}

void AddressCapture::onFrame(void* context, const uint8_t* data, uint32_t captured,
                             uint32_t length) {
  auto* self = static_cast<AddressCapture*>(context);
  if (self->address_.family == IpFamily::V6) {
    self->onIpv6Frame(data, captured, length);
    return;
  }
  IpDatagram datagram;
  if (parseIpv4Datagram(data, captured, datagram)) {
    self->report(datagram);
  }
}

void AddressCapture::reportDrops() {
  uint32_t dropped = ring_.takeDrops();
  if (dropped != 0) {
    sink_->onDrops(dropped);
  }
}

int AddressCapture::run(IDatagramSink& sink) {
  using Clock = std::chrono::steady_clock;
  constexpr auto kDropsPeriod = std::chrono::seconds(1);
  sink_ = &sink;
  auto dropsDue = Clock::now() + kDropsPeriod;
  int error = 0;
  while (error == 0 && !stopRequested_.exchange(false, std::memory_order_acq_rel)) {
    error = ring_.readFrames(&AddressCapture::onFrame, this);
    if (error != 0) {
      failedStep_ = ring_.failedStep();
    } else if (Clock::now() >= dropsDue) {
      reportDrops();
      dropsDue = Clock::now() + kDropsPeriod;
    }
  }
  reportDrops();
  return error;
}

}  // namespace s::platform

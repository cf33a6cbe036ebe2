#include "platform/linux/capture/AddressCapture.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include "platform/linux/capture/ErrnoName.h"
#include "platform/linux/capture/Rtnetlink.h"
#include "platform/linux/rights/RightsClient.h"

namespace s::platform {

int AddressCapture::open(uint32_t address) {
  ring_.close();
  address_ = address;
  int ifindex = interfaceHoldingAddress(address);
  if (ifindex == 0) {
    failedStep_ = "interface lookup";
    return errno != 0 ? errno : EADDRNOTAVAIL;
  }
  CaptureFilter filter(address);
  int error = ring_.open(ifindex, filter.program());
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
  std::memcpy(bytes, &address_, sizeof address_);
  RightsClient::CaptureSocket answer = rights->openCaptureSocket(ifindex, AF_INET, bytes);
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

void AddressCapture::onFrame(void* context, const uint8_t* data, uint32_t captured) {
  auto* self = static_cast<AddressCapture*>(context);
  Ipv4Datagram datagram;
  if (!parseIpv4Datagram(data, captured, datagram)) {
    return;
  }
  if (datagram.source == self->address_) {
    self->sink_->onDatagram(true, datagram);
  } else if (datagram.destination == self->address_) {
    self->sink_->onDatagram(false, datagram);
  }
}

int AddressCapture::run(IDatagramSink& sink) {
  sink_ = &sink;
  while (!stopRequested_.exchange(false, std::memory_order_acq_rel)) {
    int error = ring_.readFrames(&AddressCapture::onFrame, this);
    if (error != 0) {
      failedStep_ = ring_.failedStep();
      return error;
    }
  }
  return 0;
}

}  // namespace s::platform

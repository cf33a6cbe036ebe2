#include "network/UdpConnection.h"

namespace s::system::network {

std::u16string_view UdpConnection::getStateText() {
  text_.clear();
  return text();
}

void UdpConnection::setLocalAddress(uint32_t address) {
  localAddress_ = address;
  localNameResolved_ = false;
  recomputeKey();
}

void UdpConnection::setLocalAddress6(platform::SocketFamily family,
                                     const platform::Ipv6Bytes& address) {
  family_ = family;
  localAddress6_ = address;
  localNameResolved_ = false;
  recomputeKey();
}

const platform::Ipv6Bytes& UdpConnection::getRemoteAddress6() const {
  static constexpr platform::Ipv6Bytes kNone{};
  return kNone;
}

void UdpConnection::setLocalPort(int32_t port) {
  localPort_ = port;
  // The address is set first; loopback traffic is never captured.
  if (isLoopback()) {
    markUnmeasured();
  }
  recomputeKey();
}

std::u16string_view UdpConnection::getRemoteAddressText() {
  text_.clear();
  return text();
}

std::u16string_view UdpConnection::getRemotePortText() {
  text_.clear();
  return text();
}

std::u16string_view UdpConnection::getRemoteHostText() {
  text_.assign(u"*");
  return text();
}

void UdpConnection::recomputeKey() {
  key_[0] = localAddress_ << 16 | static_cast<uint32_t>(localPort_);
  key_[1] = static_cast<uint32_t>(pid_) << 16 | localAddress_ >> 16;
  finishKey(nullptr);
}

void UdpConnection::appendTrafficKeyEndpoints(str::StrBuffer& key) {
  appendEndpoint(key, localAddress_, localAddress6_, localPort_);
}

}  // namespace s::system::network

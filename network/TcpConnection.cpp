#include "network/TcpConnection.h"

#include <array>

#include "framework/str/Format.h"
#include "network/ConnectionTables.h"
#include "network/HostNames.h"

namespace s::system::network {

void TcpConnection::reset() {
  ConnectionRecord::reset();
  state_ = 0;
  remoteAddress_ = 0;
  remoteAddress6_ = {};
  remotePort_ = 0;
  remoteNameResolved_ = false;
  remoteHostName_.clear();
}

bool TcpConnection::setState(int32_t state) {
  if (state == state_) {
    return false;
  }
  state_ = state;
  return true;
}

std::u16string_view TcpConnection::getStateText() {
  static constexpr std::array<std::u16string_view, 13> kNames = {
      u"UNKNOWN",     u"CLOSED",    u"LISTENING", u"SYN_SENT",   u"SYN_RECEIVED",
      u"ESTABLISHED", u"FIN_WAIT1", u"FIN_WAIT2", u"CLOSE_WAIT", u"CLOSING",
      u"LAST_ACK",    u"TIME_WAIT", u"DELETE_TCB"};
  text_.assign(state_ >= 1 && state_ <= 12 ? kNames[state_] : kNames[0]);
  return text();
}

void TcpConnection::setLocalAddress(uint32_t address) {
  localAddress_ = address;
  // Loopback traffic is never captured: such records are not measured.
  if (address == kLoopbackAddress) {
    markUnmeasured();
  }
  localNameResolved_ = false;
  recomputeKey();
}

void TcpConnection::setLocalAddress6(platform::SocketFamily family,
                                     const platform::Ipv6Bytes& address) {
  family_ = family;
  localAddress6_ = address;
  if (isLoopback()) {
    markUnmeasured();
  }
  localNameResolved_ = false;
  recomputeKey();
}

void TcpConnection::setRemoteAddress6(const platform::Ipv6Bytes& address) {
  remoteAddress6_ = address;
  remoteNameResolved_ = false;
  recomputeKey();
}

void TcpConnection::setLocalPort(int32_t port) {
  localPort_ = port;
  recomputeKey();
}

void TcpConnection::setRemoteAddress(uint32_t address) {
  remoteAddress_ = address;
  remoteNameResolved_ = false;
  recomputeKey();
}

std::u16string_view TcpConnection::getRemoteAddressText() {
  text_.clear();
  if (state_ != kListening) {
    appendAddressText(text_, remoteAddress_, remoteAddress6_);
  }
  return text();
}

void TcpConnection::setRemotePort(int32_t port) {
  remotePort_ = port;
  recomputeKey();
}

int32_t TcpConnection::getRemotePort() const {
  return state_ == kEstablished ? remotePort_ : -1;
}

std::u16string_view TcpConnection::getRemotePortText() {
  if (state_ == kEstablished) {
    text_.assignU32(static_cast<uint32_t>(remotePort_));
  } else {
    text_.clear();
  }
  return text();
}

bool TcpConnection::resolveRemoteHostName() {
  if (remoteNameResolved_) {
    return false;
  }
  if (state_ == kListening) {
    remoteHostName_.clear();
    remoteNameResolved_ = true;
    return false;
  }
  remoteNameResolved_ = lookUpName(getRemoteAddressText(), remoteHostName_);
  return remoteNameResolved_;
}

bool TcpConnection::isRemoteHostNameResolved() const {
  return remoteNameResolved_ && !remoteHostName_.empty();
}

std::u16string_view TcpConnection::getRemoteHostText() {
  if (state_ == kListening) {
    text_.assign(u"*");
    return text();
  }
  if (!remoteHostName_.empty()) {
    return remoteHostName_.view();
  }
  return getRemoteAddressText();
}

void TcpConnection::disconnect() {
  if (state_ == kListening) {
    return;
  }
  if (family_ == platform::SocketFamily::Ipv4) {
    win::disconnectTcp(localAddress_, localPort_, remoteAddress_, getRemotePort());
  } else {
    win::disconnectTcp6(localAddress6_, localPort_, remoteAddress6_, getRemotePort());
  }
}

void TcpConnection::recomputeKey() {
  uint32_t remote = state_ != kListening ? remoteAddress_ : 0;
  auto port = static_cast<uint32_t>(state_ == kEstablished ? remotePort_ : 0);
  key_[0] = localAddress_ << 16 | static_cast<uint32_t>(localPort_);
  key_[1] = static_cast<uint32_t>(pid_) << 16 | localAddress_ >> 16;
  key_[2] = remote << 16 | port;
  key_[3] = remote >> 16;
  finishKey(state_ != kListening ? &remoteAddress6_ : nullptr);
}

void TcpConnection::appendTrafficKeyEndpoints(str::StrBuffer& key) {
  appendEndpoint(key, localAddress_, localAddress6_, localPort_);
  if (state_ != kListening) {
    key.appendChar(u'-');
    appendEndpoint(key, remoteAddress_, remoteAddress6_, getRemotePort());
  }
}

}  // namespace s::system::network

#pragma once

#include "framework/base/Pooled.h"
#include "network/ConnectionRecord.h"

namespace s::system::network {

// A TCP connection or listening socket. Its key is the owner and local endpoint, with the
// remote address unless LISTENING and the remote port only when ESTABLISHED.
class TcpConnection final : public Pooled<TcpConnection, ConnectionRecord, kRecordPoolCapacity> {
 public:
  static constexpr int32_t kListening = 2;
  static constexpr int32_t kEstablished = 5;

  bool setState(int32_t state) override;
  int32_t getState() const override { return state_; }
  std::u16string_view getStateText() override;
  void setLocalAddress(uint32_t address) override;
  void setLocalPort(int32_t port) override;
  void setRemoteAddress(uint32_t address) override;
  uint32_t getRemoteAddress() const override { return remoteAddress_; }
  std::u16string_view getRemoteAddressText() override;
  void setRemotePort(int32_t port) override;
  int32_t getRemotePort() const override;
  std::u16string_view getRemotePortText() override;
  bool resolveRemoteHostName() override;
  bool isRemoteHostNameResolved() const override;
  std::u16string_view getRemoteHostName() const override { return remoteHostName_.view(); }
  std::u16string_view getRemoteHostText() override;
  bool isDisconnectable() const override { return state_ != kListening; }
  void disconnect() override;
  int32_t getProtocol() const override { return kProtocolTcp; }
  std::u16string_view getProtocolText() const override {
    return protocolText(u"TCP", u"TCP6", u"TCP46");
  }
  void setLocalAddress6(platform::SocketFamily family, const platform::Ipv6Bytes& address) override;
  void setRemoteAddress6(const platform::Ipv6Bytes& address) override;
  const platform::Ipv6Bytes& getRemoteAddress6() const override { return remoteAddress6_; }

  void reset() override;
  std::u16string_view className() const override { return u"s_system_network_TcpConnection"; }

 protected:
  void recomputeKey() override;
  void appendTrafficKeyEndpoints(str::StrBuffer& key) override;

 private:
  int32_t state_ = 0;
  uint32_t remoteAddress_ = 0;
  platform::Ipv6Bytes remoteAddress6_{};
  int32_t remotePort_ = 0;
  bool remoteNameResolved_ = false;
  str::StrBuffer remoteHostName_;
};

}  // namespace s::system::network

#pragma once

#include "framework/base/Pooled.h"
#include "network/ConnectionRecord.h"

namespace s::system::network {

// A UDP endpoint: owner and local endpoint only. Every TCP-only question has a fixed empty
// answer.
class UdpConnection final : public Pooled<UdpConnection, ConnectionRecord, kRecordPoolCapacity> {
 public:
  bool setState(int32_t /*state*/) override { return false; }
  int32_t getState() const override { return 0; }
  std::u16string_view getStateText() override;
  void setLocalAddress(uint32_t address) override;
  void setLocalPort(int32_t port) override;
  void setRemoteAddress(uint32_t /*address*/) override {}
  uint32_t getRemoteAddress() const override { return 0; }
  std::u16string_view getRemoteAddressText() override;
  void setRemotePort(int32_t /*port*/) override {}
  int32_t getRemotePort() const override { return -1; }
  std::u16string_view getRemotePortText() override;
  bool resolveRemoteHostName() override { return false; }
  bool isRemoteHostNameResolved() const override { return false; }
  std::u16string_view getRemoteHostName() const override { return {}; }
  std::u16string_view getRemoteHostText() override;
  bool isDisconnectable() const override { return false; }
  void disconnect() override {}
  int32_t getProtocol() const override { return kProtocolUdp; }
  std::u16string_view getProtocolText() const override {
    return protocolText(u"UDP", u"UDP6", u"UDP46");
  }
  void setLocalAddress6(platform::SocketFamily family, const platform::Ipv6Bytes& address) override;
  void setRemoteAddress6(const platform::Ipv6Bytes& /*address*/) override {}
  const platform::Ipv6Bytes& getRemoteAddress6() const override;

  std::u16string_view className() const override { return u"s_system_network_UdpConnection"; }

 protected:
  void recomputeKey() override;
  void appendTrafficKeyEndpoints(str::StrBuffer& key) override;
};

}  // namespace s::system::network

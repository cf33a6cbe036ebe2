#pragma once

#include <cstdint>
#include <string_view>

#include "framework/base/IObject.h"
#include "framework/base/IPoolable.h"
#include "framework/base/Pooled.h"
#include "network/TrafficCounts.h"
#include "platform/linux/IpAddress.h"

namespace s::system::network {

// One row of the kernel's connection tables: a TCP connection or listener, or a UDP endpoint.
// IPv4 addresses are words in network byte order (127.0.0.1 is 0x0100007F), IPv6 ones their 16
// bytes; ports host-order. Every text operation answers from the record's own buffers; the text
// stays valid until the next text operation on the same record.
//
// The family decides the address texts (dotted, or RFC 5952 for IPv6), the protocol text ("TCP",
// "UDP"; "TCP6", "UDP6" for IPv6; "TCP46", "UDP46" for a dual-stack wildcard socket, which takes
// both) and the traffic key, whose IPv6 addresses stand in brackets:
// "TCP6,[2001:db8::5]:80-[2001:db8::9]:4000". An IPv4 record's texts and keys are those of a
// system that knows IPv4 alone.
class IConnection : public IObject, public IPoolable {
 public:
  static constexpr uint32_t kLoopbackAddress = 0x0100007F;
  static constexpr platform::Ipv6Bytes kLoopbackAddress6 = {0, 0, 0, 0, 0, 0, 0, 0,
                                                            0, 0, 0, 0, 0, 0, 0, 1};
  static constexpr int32_t kProtocolTcp = 1;
  static constexpr int32_t kProtocolUdp = 2;

  virtual bool setState(int32_t state) = 0;
  virtual int32_t getState() const = 0;
  virtual std::u16string_view getStateText() = 0;
  virtual void setLocalAddress(uint32_t address) = 0;
  virtual uint32_t getLocalAddress() const = 0;
  virtual std::u16string_view getLocalAddressText() = 0;
  virtual void setLocalPort(int32_t port) = 0;
  virtual int32_t getLocalPort() const = 0;
  virtual std::u16string_view getLocalPortText() = 0;
  virtual void setRemoteAddress(uint32_t address) = 0;
  virtual uint32_t getRemoteAddress() const = 0;
  virtual std::u16string_view getRemoteAddressText() = 0;
  virtual void setRemotePort(int32_t port) = 0;
  virtual int32_t getRemotePort() const = 0;
  virtual std::u16string_view getRemotePortText() = 0;
  virtual void setPid(int32_t pid) = 0;
  virtual int32_t getPid() const = 0;
  virtual std::u16string_view getPidText() = 0;
  virtual std::u16string_view getProcessName() = 0;
  virtual bool hasProcessPath() = 0;
  virtual std::u16string_view getProcessPath() = 0;
  virtual void setStartTime(int64_t time) = 0;
  virtual int64_t getStartTime() const = 0;
  virtual void setEndTime(int64_t time) = 0;
  virtual int64_t getEndTime() const = 0;
  virtual int64_t getDuration() const = 0;
  virtual std::u16string_view getDurationText() = 0;
  virtual bool resolveLocalHostName() = 0;
  virtual bool isLocalHostNameResolved() const = 0;
  virtual std::u16string_view getLocalHostName() const = 0;
  virtual std::u16string_view getLocalHostText() = 0;
  virtual bool resolveRemoteHostName() = 0;
  virtual bool isRemoteHostNameResolved() const = 0;
  virtual std::u16string_view getRemoteHostName() const = 0;
  virtual std::u16string_view getRemoteHostText() = 0;
  // The current view's row for this record (a pooled list record), owned by the record.
  virtual IPoolable* getViewRecord() const = 0;
  virtual void setViewRecord(PoolPtr<IPoolable> row) = 0;
  virtual void releaseViewRecord() = 0;
  virtual void buildTrafficKey() = 0;
  virtual void releaseTrafficKey() = 0;
  virtual bool addReceived(const TrafficTable& traffic) = 0;
  virtual int64_t getReceivedBytes() const = 0;
  virtual bool addSent(const TrafficTable& traffic) = 0;
  virtual int64_t getSentBytes() const = 0;
  virtual bool isDisconnectable() const = 0;
  virtual void disconnect() = 0;
  virtual int32_t getProtocol() const = 0;
  virtual std::u16string_view getProtocolText() const = 0;
  virtual bool isHostNameShown() const = 0;
  virtual void setHostNameShown(bool shown) = 0;

  virtual platform::SocketFamily getFamily() const = 0;
  // The addresses of an IPv6 or dual-stack record, set in place of setLocalAddress and
  // setRemoteAddress and in their order; the local one sets the family. The loopback rule
  // holds for ::1.
  virtual void setLocalAddress6(platform::SocketFamily family,
                                const platform::Ipv6Bytes& address) = 0;
  virtual const platform::Ipv6Bytes& getLocalAddress6() const = 0;
  virtual void setRemoteAddress6(const platform::Ipv6Bytes& address) = 0;
  virtual const platform::Ipv6Bytes& getRemoteAddress6() const = 0;

  std::u16string_view className() const override { return u"s_system_network_IConnection"; }
};

}  // namespace s::system::network

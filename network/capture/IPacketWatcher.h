#pragma once

#include <cstdint>
#include <string_view>

#include "framework/base/IObject.h"
#include "framework/base/IPoolable.h"
#include "framework/str/StrBuffer.h"
#include "platform/linux/IpAddress.h"

namespace s::system::network {

inline constexpr uint8_t kProtocolTcp = 6;
inline constexpr uint8_t kProtocolUdp = 17;

// Receives each TCP or UDP datagram a watcher sees. Addresses are IPv4 or IPv6, of the watched
// address's family; ports are host-order; `byteCount` is the whole IP datagram's length. The
// accounting counts under these binary values and builds its texts once per interval.
using PacketCallback = void (*)(bool sent, uint8_t protocol,
                                const platform::IpAddress& localAddress, uint16_t localPort,
                                const platform::IpAddress& remoteAddress, uint16_t remotePort,
                                uint32_t byteCount, void* context, uint32_t extra);

// Watches every datagram sent from or received at one local address: dotted IPv4, or IPv6 in
// its text form, a link-local one with its interface after "%" ("fe80::1%eth0").
class IPacketWatcher : public IObject, public IPoolable {
 public:
  // Runs the capture loop on the watcher's thread unless it runs already; a stop still pending
  // on a running loop is first waited for.
  virtual void start() = 0;
  // Requests the loop's end and wakes its wait at once; with `wait`, returns once it has ended.
  virtual void stop(bool wait) = 0;
  virtual std::u16string_view getAddressText() const = 0;
  virtual const str::StrBuffer& getAddress() const = 0;
  virtual void setAddressText(std::u16string_view text) = 0;
  virtual void setPacketCallback(PacketCallback callback, void* context, uint32_t extra) = 0;
};

}  // namespace s::system::network

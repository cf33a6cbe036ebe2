#pragma once

#include <cstdint>
#include <string_view>

#include "framework/base/IObject.h"
#include "framework/base/IPoolable.h"
#include "framework/base/Pooled.h"
#include "network/capture/TrafficTable.h"

namespace s::system::network {

// Counts the datagrams of every local address's watcher per traffic key, one interval at a time.
class IPacketLogger : public IObject, public IPoolable {
 public:
  // Runs the watcher management on the logger's thread unless it runs already.
  virtual void start() = 0;
  virtual void stop(bool wait) = 0;
  // The most distinct keys one interval's table takes; 5000 in a new logger.
  virtual int32_t getKeyLimit() const = 0;
  virtual void setKeyLimit(int32_t limit) = 0;
  // Empties the current interval's counts.
  virtual void clearTrafficTable() = 0;
  virtual void lockTraffic() = 0;
  virtual void unlockTraffic() = 0;
  // Ends the interval: gives its counts as a new table under the traffic keys; counting goes on
  // in an empty one.
  virtual PoolPtr<TrafficTable> takeTrafficTable() = 0;
  // Counts one datagram; the protocol is "TCP" or "UDP", the addresses dotted decimal.
  virtual void logPacket(bool sent, std::u16string_view protocol, std::u16string_view localAddress,
                         int32_t localPort, std::u16string_view remoteAddress, int32_t remotePort,
                         uint32_t byteCount) = 0;
};

}  // namespace s::system::network

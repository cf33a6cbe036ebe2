#pragma once

#include <atomic>
#include <cstdint>
#include <unordered_map>

#include "framework/base/ObjLocker.h"
#include "framework/base/Pooled.h"
#include "framework/col/ArrayP.h"
#include "framework/str/StrArray.h"
#include "framework/thread/ITask.h"
#include "framework/thread/Thread.h"
#include "network/capture/IPacketLogger.h"
#include "network/capture/PacketWatcher.h"

namespace s::system::network::win {

namespace detail {
class PacketLoggerBases : public IPacketLogger, public ITask {};
}  // namespace detail

// Keeps one watcher on the first IPv4 address and on every IPv6 address of every interface that
// is up (loopback excepted), matched to the kernel's addresses once a second, and counts what
// the watchers report. Counting runs under a binary flow key; the text keys are built when the
// table is taken, with the records' forms: "TCP,a.b.c.d:p-..." for IPv4, "TCP6,[x::y]:p-..."
// for IPv6.
class PacketLogger final : public Pooled<PacketLogger, detail::PacketLoggerBases> {
 public:
  static constexpr int32_t kDefaultKeyLimit = 5000;

  PacketLogger();
  ~PacketLogger() override;
  PacketLogger(const PacketLogger&) = delete;
  PacketLogger& operator=(const PacketLogger&) = delete;

  void start() override;
  void stop(bool wait) override;
  int32_t getKeyLimit() const override { return keyLimit_.load(std::memory_order_relaxed); }
  void setKeyLimit(int32_t limit) override { keyLimit_.store(limit, std::memory_order_relaxed); }
  void clearTrafficTable() override;
  void lockTraffic() override { tableLock_.lock(); }
  void unlockTraffic() override { tableLock_.unlock(); }
  PoolPtr<TrafficTable> takeTrafficTable() override;
  void logPacket(bool sent, std::u16string_view protocol, std::u16string_view localAddress,
                 int32_t localPort, std::u16string_view remoteAddress, int32_t remotePort,
                 uint32_t byteCount) override;

  // The hot path of the watchers' callback.
  void countDatagram(bool sent, uint8_t protocol, const platform::IpAddress& localAddress,
                     uint16_t localPort, const platform::IpAddress& remoteAddress,
                     uint16_t remotePort, uint32_t byteCount);

  // Fills `out` with the address of every watcher the management keeps; gives their count.
  uint32_t watchedAddresses(str::StrArray& out);

  // The watcher management loop.
  void run() override;
  void reset() override;

  std::u16string_view className() const override { return u"s_system_network_win_PacketLogger"; }

 private:
  // Protocol and both endpoints; a UDP key has no remote part.
  struct FlowKey {
    platform::IpAddress local;
    platform::IpAddress remote;
    uint16_t localPort = 0;
    uint16_t remotePort = 0;
    uint8_t protocol = 0;
    bool operator==(const FlowKey&) const = default;
  };
  struct FlowHash {
    size_t operator()(const FlowKey& k) const;
  };
  using FlowTable = std::unordered_map<FlowKey, TrafficCount, FlowHash>;

  static void onPacket(bool sent, uint8_t protocol, const platform::IpAddress& localAddress,
                       uint16_t localPort, const platform::IpAddress& remoteAddress,
                       uint16_t remotePort, uint32_t byteCount, void* context, uint32_t extra);
  void matchWatchers(const str::StrArray& addresses);
  void releaseWatchers();

  std::atomic<bool> running_{false};
  std::atomic<bool> stopRequested_{false};
  std::atomic<int32_t> keyLimit_{kDefaultKeyLimit};
  thread::ObjLocker tableLock_;
  FlowTable current_;
  FlowTable spare_;
  // The management loop's watchers; the lock lets watchedAddresses() look.
  thread::ObjLocker watchersLock_;
  col::ArrayP<PacketWatcher> watchers_{&PacketWatcher::pool()};
  PoolPtr<thread::win::Thread> thread_;
};

}  // namespace s::system::network::win

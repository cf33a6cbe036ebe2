#pragma once

#include <atomic>

#include "framework/base/Pooled.h"
#include "framework/thread/ITask.h"
#include "framework/thread/Thread.h"
#include "network/capture/IPacketWatcher.h"
#include "platform/linux/capture/AddressCapture.h"

namespace s::system::network::win {

namespace detail {
class PacketWatcherBases : public IPacketWatcher, public ITask {};
}  // namespace detail

// The watcher of one local address: a packet socket on the interface holding the address,
// read through its ring on a thread of the watcher's own (priority 1). Set-up and read
// failures, and datagrams the ring had no room for, become texts of the capture message log.
class PacketWatcher final : public Pooled<PacketWatcher, detail::PacketWatcherBases> {
 public:
  PacketWatcher();
  ~PacketWatcher() override;
  PacketWatcher(const PacketWatcher&) = delete;
  PacketWatcher& operator=(const PacketWatcher&) = delete;

  void start() override;
  void stop(bool wait) override;
  std::u16string_view getAddressText() const override { return address_->view(); }
  const str::StrBuffer& getAddress() const override { return *address_; }
  void setAddressText(std::u16string_view text) override { address_->assign(text); }
  void setPacketCallback(PacketCallback callback, void* context, uint32_t extra) override;

  bool isRunning() const { return running_.load(std::memory_order_acquire); }

  // The capture loop.
  void run() override;
  void reset() override;

  std::u16string_view className() const override { return u"s_system_network_win_PacketWatcher"; }

 private:
  class Sink;

  std::atomic<bool> running_{false};
  std::atomic<bool> stopRequested_{false};
  platform::AddressCapture capture_;
  PoolPtr<str::StrBuffer> address_;
  PacketCallback callback_ = nullptr;
  void* context_ = nullptr;
  uint32_t extra_ = 0;
  PoolPtr<thread::win::Thread> thread_;
};

// The address of a watcher's text and, for a link-local one, its interface from the "%" zone
// (0 when none is given); false for a text that is neither.
bool parseWatchedAddress(std::u16string_view text, platform::IpAddress& address, int& ifindex);

}  // namespace s::system::network::win

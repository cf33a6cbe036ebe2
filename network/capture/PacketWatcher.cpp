#include "network/capture/PacketWatcher.h"

#include <arpa/inet.h>
#include <net/if.h>

#include <cerrno>
#include <cstring>

#include "network/capture/CaptureLog.h"

namespace s::system::network::win {

namespace {
// The pools this class's parts go back to must outlive its own pool, which frees its idle
// objects at exit: made before main(), they are destroyed after it.
[[maybe_unused]] const bool kPartPoolsFirst =
    (thread::win::Thread::pool(), str::StrBuffer::pool(), true);
}  // namespace

class PacketWatcher::Sink final : public platform::IDatagramSink {
 public:
  explicit Sink(PacketWatcher& watcher) : watcher_(watcher) {}
  void onDatagram(bool sent, const platform::IpDatagram& d) override {
    if (watcher_.callback_ == nullptr) {
      return;
    }
    if (sent) {
      watcher_.callback_(true, d.protocol, d.source, d.sourcePort, d.destination, d.destinationPort,
                         d.length, watcher_.context_, watcher_.extra_);
    } else {
      watcher_.callback_(false, d.protocol, d.destination, d.destinationPort, d.source,
                         d.sourcePort, d.length, watcher_.context_, watcher_.extra_);
    }
  }
  void onDrops(uint32_t dropped) override { logCaptureDrops(watcher_.address_->view(), dropped); }

 private:
  PacketWatcher& watcher_;
};

PacketWatcher::PacketWatcher()
    : address_(str::StrBuffer::make()), thread_(thread::win::Thread::make()) {
  // Above normal needs CAP_SYS_NICE; without it the watcher runs at normal priority.
  thread_->setPriority(1);
}

PacketWatcher::~PacketWatcher() {
  stop(true);
}

void PacketWatcher::setPacketCallback(PacketCallback callback, void* context, uint32_t extra) {
  callback_ = callback;
  context_ = context;
  extra_ = extra;
}

void PacketWatcher::start() {
  if (stopRequested_.load(std::memory_order_acquire) && isRunning()) {
    stop(true);
  }
  if (!running_.exchange(true, std::memory_order_acq_rel)) {
    capture_.clearStop();
    thread_->runOnce(this);
  }
}

void PacketWatcher::stop(bool wait) {
  stopRequested_.store(true, std::memory_order_release);
  if (isRunning()) {
    capture_.stop();
  }
  if (wait) {
    thread_->waitIdle();
    stopRequested_.store(false, std::memory_order_release);
  }
}

void PacketWatcher::run() {
  platform::IpAddress address;
  int ifindex = 0;
  if (!parseWatchedAddress(address_->view(), address, ifindex)) {
    logCaptureFailure("inet_pton()", EINVAL);
  } else if (!stopRequested_.load(std::memory_order_acquire)) {
    int error = capture_.open(address, ifindex);
    if (error != 0) {
      logCaptureFailure(capture_.failedStep(), error);
    } else {
      Sink sink(*this);
      error = capture_.run(sink);
      if (error != 0) {
        logCaptureFailure(capture_.failedStep(), error);
      }
    }
    capture_.close();
  }
  capture_.clearStop();
  stopRequested_.store(false, std::memory_order_release);
  running_.store(false, std::memory_order_release);
}

bool parseWatchedAddress(std::u16string_view text, platform::IpAddress& address, int& ifindex) {
  char ascii[INET6_ADDRSTRLEN + IF_NAMESIZE + 1] = {};
  if (text.size() >= sizeof ascii) {
    return false;
  }
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == 0 || text[i] > 0x7f) {
      return false;
    }
    ascii[i] = static_cast<char>(text[i]);
  }
  ifindex = 0;
  in_addr ipv4{};
  if (inet_pton(AF_INET, ascii, &ipv4) == 1) {
    address = platform::IpAddress::v4(ipv4.s_addr);
    return true;
  }
  char* zone = std::strchr(ascii, '%');
  if (zone != nullptr) {
    *zone++ = '\0';
    ifindex = static_cast<int>(if_nametoindex(zone));
    if (ifindex == 0) {
      return false;
    }
  }
  in6_addr ipv6{};
  if (inet_pton(AF_INET6, ascii, &ipv6) != 1) {
    return false;
  }
  address = platform::IpAddress::v6(ipv6.s6_addr);
  return true;
}

void PacketWatcher::reset() {
  stop(true);
  running_.store(false, std::memory_order_release);
  stopRequested_.store(false, std::memory_order_release);
  address_->clear();
  setPacketCallback(nullptr, nullptr, 0);
}

}  // namespace s::system::network::win

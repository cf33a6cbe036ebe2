#include "network/capture/PacketWatcher.h"

#include <arpa/inet.h>

#include "framework/str/Utf8.h"
#include "network/capture/CaptureLog.h"
#include "platform/linux/capture/ErrnoName.h"
#include "platform/linux/rights/RightsClient.h"

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
  void onDatagram(bool sent, const platform::Ipv4Datagram& d) override {
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

void PacketWatcher::logFailure(const char* step, int error) {
  std::string text = std::string(step) + " Failed: " + platform::errnoName(error);
  addCaptureMessage(std::u16string(text.begin(), text.end()));
  if (platform::isAccessDenied(error)) {
    if (!rawAccessAdded()) {
      platform::RightsClient* rights = platform::RightsClient::current();
      std::string note =
          "NOTE: Capture needs CAP_NET_RAW, which netvigil-rights holds for the members of its "
          "group (see the README); " +
          (rights != nullptr ? rights->statusText() : std::string("netvigil-rights: not started"));
      // The helper's path may hold any UTF-8.
      std::u16string units(note.size(), u'\0');
      units.resize(str::utf8::decode(reinterpret_cast<const uint8_t*>(note.data()), note.size(),
                                     units.data()));
      addCaptureMessage(units);
    }
    setRawAccessAdded();
  }
}

void PacketWatcher::run() {
  std::string ascii;
  for (char16_t unit : address_->view()) {
    ascii.push_back(static_cast<char>(unit & 0xff));
  }
  in_addr address{};
  if (inet_pton(AF_INET, ascii.c_str(), &address) != 1) {
    logFailure("inet_pton()", EINVAL);
  } else if (!stopRequested_.load(std::memory_order_acquire)) {
    int error = capture_.open(address.s_addr);
    if (error != 0) {
      logFailure(capture_.failedStep(), error);
    } else {
      Sink sink(*this);
      error = capture_.run(sink);
      if (error != 0) {
        logFailure(capture_.failedStep(), error);
      }
    }
    capture_.close();
  }
  capture_.clearStop();
  stopRequested_.store(false, std::memory_order_release);
  running_.store(false, std::memory_order_release);
}

void PacketWatcher::reset() {
  stop(true);
  running_.store(false, std::memory_order_release);
  stopRequested_.store(false, std::memory_order_release);
  address_->clear();
  setPacketCallback(nullptr, nullptr, 0);
}

}  // namespace s::system::network::win

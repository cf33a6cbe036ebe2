#include "network/capture/PacketLogger.h"

#include <arpa/inet.h>
#include <net/if.h>

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/linux/capture/Rtnetlink.h"

namespace s::system::network::win {

namespace {

constexpr int kPassSteps = 5;
constexpr auto kPassStep = std::chrono::milliseconds(200);

// The pools this class's parts go back to must outlive its own pool, which frees its idle
// objects at exit: made before main(), they are destroyed after it.
[[maybe_unused]] const bool kPartPoolsFirst =
    (thread::win::Thread::pool(), str::StrBuffer::pool(), PacketWatcher::pool(), true);

void appendAddress(str::StrBuffer& key, uint32_t address) {
  for (int octet = 0; octet < 4; ++octet) {
    if (octet != 0) {
      key.appendChar(u'.');
    }
    key.appendU32((address >> (8 * octet)) & 0xff);
  }
}

// A dotted IPv4 text as a word with the first octet lowest; false for anything else.
bool parseAddress(std::u16string_view text, uint32_t& address) {
  char ascii[INET_ADDRSTRLEN] = {};
  if (text.size() >= sizeof ascii) {
    return false;
  }
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] > 0x7f) {
      return false;
    }
    ascii[i] = static_cast<char>(text[i]);
  }
  in_addr parsed{};
  if (inet_pton(AF_INET, ascii, &parsed) != 1) {
    return false;
  }
  address = parsed.s_addr;
  return true;
}

}  // namespace

PacketLogger::PacketLogger() : thread_(thread::win::Thread::make()) {
  thread_->setPriority(-1);
}

PacketLogger::~PacketLogger() {
  stop(true);
}

void PacketLogger::start() {
  if (stopRequested_.load(std::memory_order_acquire) && running_.load(std::memory_order_acquire)) {
    stop(true);
  }
  if (!running_.exchange(true, std::memory_order_acq_rel)) {
    thread_->runOnce(this);
  }
}

void PacketLogger::stop(bool wait) {
  stopRequested_.store(true, std::memory_order_release);
  if (wait) {
    thread_->waitIdle();
    stopRequested_.store(false, std::memory_order_release);
  }
}

void PacketLogger::clearTrafficTable() {
  std::scoped_lock guard(tableLock_);
  current_.clear();
}

void PacketLogger::onPacket(bool sent, uint8_t protocol, uint32_t localAddress, uint16_t localPort,
                            uint32_t remoteAddress, uint16_t remotePort, uint32_t byteCount,
                            void* context, uint32_t /*extra*/) {
  static_cast<PacketLogger*>(context)->countDatagram(sent, protocol, localAddress, localPort,
                                                     remoteAddress, remotePort, byteCount);
}

void PacketLogger::countDatagram(bool sent, uint8_t protocol, uint32_t localAddress,
                                 uint16_t localPort, uint32_t remoteAddress, uint16_t remotePort,
                                 uint32_t byteCount) {
  FlowKey key;
  key.protocol = protocol;
  key.local = localAddress;
  key.localPort = localPort;
  if (protocol == kProtocolTcp) {
    key.remote = remoteAddress;
    key.remotePort = remotePort;
  }
  const int32_t limit = getKeyLimit();
  std::scoped_lock guard(tableLock_);
  // The limit holds before any lookup: once reached, nothing more counts in this interval.
  if (limit <= 0 || current_.size() >= static_cast<size_t>(limit)) {
    return;
  }
  TrafficCount& count = current_[key];
  (sent ? count.sent : count.received) += byteCount;
}

void PacketLogger::logPacket(bool sent, std::u16string_view protocol,
                             std::u16string_view localAddress, int32_t localPort,
                             std::u16string_view remoteAddress, int32_t remotePort,
                             uint32_t byteCount) {
  uint8_t number = 0;
  if (protocol == u"TCP") {
    number = kProtocolTcp;
  } else if (protocol == u"UDP") {
    number = kProtocolUdp;
  } else {
    return;
  }
  uint32_t local = 0;
  uint32_t remote = 0;
  if (!parseAddress(localAddress, local) || localPort < 0 || localPort > 0xffff ||
      (number == kProtocolTcp &&
       (!parseAddress(remoteAddress, remote) || remotePort < 0 || remotePort > 0xffff))) {
    return;
  }
  countDatagram(sent, number, local, static_cast<uint16_t>(localPort), remote,
                static_cast<uint16_t>(remotePort), byteCount);
}

PoolPtr<TrafficTable> PacketLogger::takeTrafficTable() {
  FlowTable taken;
  {
    std::scoped_lock guard(tableLock_);
    taken.reserve(current_.size());
  }
  {
    std::scoped_lock guard(tableLock_);
    taken.swap(current_);
  }
  PoolPtr<TrafficTable> table = takeEmptyTrafficTable();
  for (const auto& [flow, counts] : taken) {
    PoolPtr<str::StrBuffer> key = str::StrBuffer::make();
    key->append(flow.protocol == kProtocolTcp ? std::u16string_view(u"TCP,")
                                              : std::u16string_view(u"UDP,"));
    appendAddress(*key, flow.local);
    key->appendChar(u':');
    key->appendU32(flow.localPort);
    if (flow.protocol == kProtocolTcp) {
      key->appendChar(u'-');
      appendAddress(*key, flow.remote);
      key->appendChar(u':');
      key->appendU32(flow.remotePort);
    }
    auto* value = static_cast<TrafficCount*>(std::malloc(sizeof(TrafficCount)));
    if (value == nullptr) {
      continue;
    }
    *value = counts;
    table->put(std::move(key), value);
  }
  return table;
}

uint32_t PacketLogger::watchedAddresses(str::StrArray& out) {
  std::scoped_lock guard(watchersLock_);
  for (const PacketWatcher* watcher : watchers_) {
    out.add(watcher->getAddressText());
  }
  return watchers_.count();
}

void PacketLogger::matchWatchers(const str::StrArray& addresses) {
  for (const str::StrBuffer* address : addresses) {
    PacketWatcher* found = nullptr;
    for (PacketWatcher* watcher : watchers_) {
      if (watcher->getAddress().equals(address->view())) {
        found = watcher;
        break;
      }
    }
    if (found == nullptr) {
      found = PacketWatcher::take();
      found->setAddressText(address->view());
      found->setPacketCallback(&PacketLogger::onPacket, this, 0);
      std::scoped_lock guard(watchersLock_);
      watchers_.push(found);
    }
    found->start();
  }
  for (uint32_t i = 0; i < watchers_.count();) {
    bool kept = false;
    for (const str::StrBuffer* address : addresses) {
      if (watchers_.at(i)->getAddress().equals(address->view())) {
        kept = true;
        break;
      }
    }
    if (kept) {
      ++i;
      continue;
    }
    // Out of the list under the lock; stopping it and waiting for it goes on outside.
    PoolPtr<PacketWatcher> leaving(watchers_.at(i));
    std::scoped_lock guard(watchersLock_);
    watchers_.removeRange(i, 1);
  }
}

void PacketLogger::releaseWatchers() {
  std::scoped_lock guard(watchersLock_);
  watchers_.freeMemory();
}

void PacketLogger::run() {
  platform::RtnetlinkSocket netlink;
  std::vector<platform::LinkInfo> links;
  std::vector<platform::AddressInfo> entries;
  PoolPtr<str::StrArray> addresses = str::StrArray::make();
  // A recycled list comes without its element disposer.
  addresses->setDestructor(&str::StrBuffer::pool());
  while (!stopRequested_.load(std::memory_order_acquire)) {
    // A failed reading leaves the watchers as they are until the next pass.
    if (netlink.dumpLinks(links) && netlink.dumpAddresses(entries)) {
      addresses->freeMemory();
      for (const platform::LinkInfo& link : links) {
        if ((link.flags & IFF_LOOPBACK) != 0 || (link.flags & IFF_UP) == 0) {
          continue;
        }
        for (const platform::AddressInfo& entry : entries) {
          if (entry.index == link.index) {
            PoolPtr<str::StrBuffer> text = str::StrBuffer::make();
            appendAddress(*text, entry.address);
            addresses->push(std::move(text));
            break;  // the first address only
          }
        }
      }
      matchWatchers(*addresses);
    }
    for (int step = 0; step < kPassSteps && !stopRequested_.load(std::memory_order_acquire);
         ++step) {
      std::this_thread::sleep_for(kPassStep);
    }
  }
  releaseWatchers();
  stopRequested_.store(false, std::memory_order_release);
  running_.store(false, std::memory_order_release);
}

void PacketLogger::reset() {
  stop(true);
  running_.store(false, std::memory_order_release);
  stopRequested_.store(false, std::memory_order_release);
  setKeyLimit(kDefaultKeyLimit);
  clearTrafficTable();
}

}  // namespace s::system::network::win

#include "network/capture/PacketLogger.h"

#include <linux/if_addr.h>
#include <net/if.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "framework/str/Format.h"
#include "platform/linux/capture/Rtnetlink.h"

namespace s::system::network::win {

namespace {

constexpr int kPassSteps = 5;
constexpr auto kPassStep = std::chrono::milliseconds(200);

// The pools this class's parts go back to must outlive its own pool, which frees its idle
// objects at exit: made before main(), they are destroyed after it.
[[maybe_unused]] const bool kPartPoolsFirst =
    (thread::win::Thread::pool(), str::StrBuffer::pool(), PacketWatcher::pool(), true);

uint64_t wordAt(const platform::IpAddress& address, size_t offset) {
  uint64_t word = 0;
  std::memcpy(&word, address.bytes.data() + offset, sizeof word);
  return word;
}

// The text form of a watched address: a link-local IPv6 address names its interface.
void appendWatchedAddress(str::StrBuffer& text, const platform::AddressInfo& entry,
                          const std::string& interfaceName) {
  if (entry.address.family == platform::IpFamily::V4) {
    str::appendIPv4(text, entry.address.word());
    return;
  }
  str::appendIPv6(text, entry.address.bytes.data());
  if (entry.address.isLinkLocal()) {
    text.appendChar(u'%');
    text.appendAscii(interfaceName);
  }
}

}  // namespace

size_t PacketLogger::FlowHash::operator()(const FlowKey& k) const {
  uint64_t h = wordAt(k.local, 0) ^ (wordAt(k.local, 8) * 0x9E3779B97F4A7C15ULL);
  h = (h ^ wordAt(k.remote, 0)) * 0xff51afd7ed558ccdULL;
  h ^= wordAt(k.remote, 8) * 0xc4ceb9fe1a85ec53ULL;
  h ^= (static_cast<uint64_t>(k.localPort) << 24) | (static_cast<uint64_t>(k.remotePort) << 8) |
       k.protocol;
  h *= 0xff51afd7ed558ccdULL;
  return static_cast<size_t>(h ^ (h >> 33));
}

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

void PacketLogger::onPacket(bool sent, uint8_t protocol, const platform::IpAddress& localAddress,
                            uint16_t localPort, const platform::IpAddress& remoteAddress,
                            uint16_t remotePort, uint32_t byteCount, void* context,
                            uint32_t /*extra*/) {
  static_cast<PacketLogger*>(context)->countDatagram(sent, protocol, localAddress, localPort,
                                                     remoteAddress, remotePort, byteCount);
}

void PacketLogger::countDatagram(bool sent, uint8_t protocol,
                                 const platform::IpAddress& localAddress, uint16_t localPort,
                                 const platform::IpAddress& remoteAddress, uint16_t remotePort,
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
  platform::IpAddress local;
  platform::IpAddress remote;
  int zone = 0;
  if (!parseWatchedAddress(localAddress, local, zone) || localPort < 0 || localPort > 0xffff ||
      (number == kProtocolTcp &&
       (!parseWatchedAddress(remoteAddress, remote, zone) || remote.family != local.family ||
        remotePort < 0 || remotePort > 0xffff))) {
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
    const bool tcp = flow.protocol == kProtocolTcp;
    if (flow.local.family == platform::IpFamily::V4) {
      key->append(tcp ? std::u16string_view(u"TCP,") : std::u16string_view(u"UDP,"));
    } else {
      key->append(tcp ? std::u16string_view(u"TCP6,") : std::u16string_view(u"UDP6,"));
    }
    appendTrafficEndpoint(*key, flow.local, flow.localPort);
    if (tcp) {
      key->appendChar(u'-');
      appendTrafficEndpoint(*key, flow.remote, flow.remotePort);
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
    if (netlink.dumpLinks(links) &&
        netlink.dumpAddresses(entries, platform::RtnetlinkSocket::Families::Ipv4AndIpv6)) {
      addresses->freeMemory();
      for (const platform::LinkInfo& link : links) {
        if ((link.flags & IFF_LOOPBACK) != 0 || (link.flags & IFF_UP) == 0) {
          continue;
        }
        bool ipv4Taken = false;
        for (const platform::AddressInfo& entry : entries) {
          bool ipv4 = entry.address.family == platform::IpFamily::V4;
          // The first IPv4 address only; every IPv6 one, a host has several in use at once.
          if (entry.index != link.index || (ipv4 && ipv4Taken) ||
              (entry.flags & IFA_F_DADFAILED) != 0) {
            continue;
          }
          ipv4Taken = ipv4Taken || ipv4;
          PoolPtr<str::StrBuffer> text = str::StrBuffer::make();
          appendWatchedAddress(*text, entry, link.name);
          addresses->push(std::move(text));
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

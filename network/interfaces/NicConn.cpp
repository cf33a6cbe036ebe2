#include "network/interfaces/NicConn.h"

#include <chrono>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/linux/capture/Rtnetlink.h"

namespace s::system::network::win {

namespace {

constexpr int kRefreshSteps = 15;
constexpr auto kRefreshStep = std::chrono::milliseconds(200);
constexpr std::u16string_view kVirtual = u"Virtual";

// The pools this class's parts go back to must outlive its own pool, which frees its idle
// objects at exit: made before main(), they are destroyed after it.
[[maybe_unused]] const bool kPartPoolsFirst =
    (thread::win::Thread::pool(), str::StrBuffer::pool(), true);

std::u16string_view asciiView(const std::string& ascii, std::u16string& storage) {
  storage.assign(ascii.begin(), ascii.end());
  return storage;
}

}  // namespace

NicConn::NicConn() : thread_(thread::win::Thread::make()) {
  for (PoolPtr<str::StrBuffer>& text : texts_) {
    text = str::StrBuffer::make();
  }
}

NicConn::~NicConn() {
  stop(true);
}

std::u16string_view NicConn::text(Field field) const {
  return texts_[field]->view();
}

void NicConn::setText(Field field, std::u16string_view value) {
  std::scoped_lock guard(lock_);
  texts_[field]->assign(value);
}

void NicConn::setText(Field field, const std::string& ascii) {
  std::u16string storage;
  setText(field, asciiView(ascii, storage));
}

bool NicConn::copy(Field field, str::StrBuffer& out) const {
  std::scoped_lock guard(lock_);
  if (!present_) {
    return false;
  }
  out.assign(texts_[field]->view());
  return true;
}

bool NicConn::isPresent() const {
  std::scoped_lock guard(lock_);
  return present_;
}

void NicConn::setPresent(bool present) {
  std::scoped_lock guard(lock_);
  present_ = present;
}

bool NicConn::isVirtual() const {
  return texts_[kPnpInstanceId]->equalsIgnoreCase(kVirtual);
}

void NicConn::keepPeak(int index, int64_t value) {
  int64_t stored = peaks_[index].load();
  while (value > stored && !peaks_[index].compare_exchange_weak(stored, value)) {
  }
}

bool NicConn::getDhcpEnabled(bool& out) const {
  std::scoped_lock guard(lock_);
  if (present_) {
    out = dhcpEnabled_;
  }
  return present_;
}

bool NicConn::getWinsEnabled(bool& out) const {
  std::scoped_lock guard(lock_);
  if (present_) {
    out = winsEnabled_;
  }
  return present_;
}

void NicConn::readOctets(uint64_t& in, uint64_t& out) const {
  in = 0;
  out = 0;
  platform::RtnetlinkSocket netlink;
  std::vector<platform::LinkInfo> links;
  if (!netlink.dumpLinks(links)) {
    return;
  }
  std::u16string name(getAdapterId());
  for (const platform::LinkInfo& link : links) {
    if (std::u16string(link.name.begin(), link.name.end()) == name) {
      in = link.rxBytes;
      out = link.txBytes;
      return;
    }
  }
}

void NicConn::getTotalOctets(uint64_t& count) const {
  uint64_t in = 0;
  uint64_t out = 0;
  readOctets(in, out);
  count = in + out;
}

void NicConn::getInOctets(uint64_t& count) const {
  uint64_t out = 0;
  readOctets(count, out);
}

void NicConn::getOutOctets(uint64_t& count) const {
  uint64_t in = 0;
  readOctets(in, count);
}

void NicConn::refreshAdapterInfo() {
  std::vector<platform::InterfaceInfo> interfaces;
  if (!platform::listInterfaces(interfaces)) {
    setPresent(false);
    return;
  }
  refreshFrom(interfaces);
}

void NicConn::refreshFrom(const std::vector<platform::InterfaceInfo>& interfaces) {
  std::u16string id(getAdapterId());
  const platform::InterfaceInfo* found = nullptr;
  for (const platform::InterfaceInfo& info : interfaces) {
    if (std::u16string(info.name.begin(), info.name.end()) == id) {
      found = &info;
      break;
    }
  }
  std::scoped_lock guard(lock_);
  if (found != nullptr) {
    const std::string none;
    const bool hasAddress = !found->addresses.empty();
    setText(kDescription,
            found->driver.empty() ? found->name : found->name + " (" + found->driver + ")");
    setText(kHardware, found->hardwareAddress);
    setText(kIpAddress, hasAddress ? found->addresses[0].address : none);
    setText(kSubnetMask, hasAddress ? found->addresses[0].mask : none);
    setText(kGateway, found->gateway);
    setText(kDns1, found->dnsServer1);
    setText(kDns2, found->dnsServer2);
    dhcpEnabled_ = hasAddress && found->addresses[0].dynamic;
  }
  present_ = found != nullptr;
}

void NicConn::start() {
  if (stopRequested_.load() && running_.load()) {
    stop(true);
  }
  if (!running_.exchange(true)) {
    thread_->runOnce(this);
  }
}

void NicConn::stop(bool wait) {
  stopRequested_.store(true);
  if (wait) {
    thread_->waitIdle();
    stopRequested_.store(false);
  }
}

void NicConn::run() {
  while (!stopRequested_.load()) {
    for (int step = 0; step < kRefreshSteps && !stopRequested_.load(); ++step) {
      std::this_thread::sleep_for(kRefreshStep);
    }
    if (!stopRequested_.load()) {
      refreshAdapterInfo();
    }
  }
  stopRequested_.store(false);
  running_.store(false);
}

void NicConn::reset() {
  stop(true);
  running_.store(false);
  stopRequested_.store(false);
  std::scoped_lock guard(lock_);
  present_ = false;
  dhcpEnabled_ = false;
  winsEnabled_ = false;
  for (const PoolPtr<str::StrBuffer>& text : texts_) {
    text->clear();
  }
  for (std::atomic<int64_t>& peak : peaks_) {
    peak.store(0);
  }
}

}  // namespace s::system::network::win

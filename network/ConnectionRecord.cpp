#include "network/ConnectionRecord.h"

#include <cstring>
#include <typeinfo>

#include "framework/str/Format.h"
#include "framework/time/TimeMs.h"
#include "framework/time/TimeText.h"
#include "network/HostNames.h"
#include "network/ProcessInfo.h"

namespace s::system::network {

namespace {

// Copies an answer into `into`; the answer goes back to its pool.
void takeText(str::StrBuffer& into, const PoolPtr<str::StrBuffer>& answer) {
  into.assign(answer->view());
}

}  // namespace

ConnectionRecord::ConnectionRecord() = default;

void ConnectionRecord::reset() {
  releaseViewRecord();
  releaseTrafficKey();
  receivedBytes_ = 0;
  sentBytes_ = 0;
  kernelTotals_ = false;
  family_ = platform::SocketFamily::Ipv4;
  localAddress6_ = {};
  localAddress_ = 0;
  localPort_ = 0;
  pid_ = -1;
  text_.clear();
  localHostName_.clear();
  localNameResolved_ = false;
  startTime_ = 0;
  endTime_ = 0;
  duration_ = 0;
  for (uint32_t& word : key_) {
    word = 0;
  }
  keyHash_ = 0;
  hostNameShown_ = true;
}

void ConnectionRecord::markUnmeasured() {
  receivedBytes_ = -1;
  sentBytes_ = -1;
}

void ConnectionRecord::appendAddressText(str::StrBuffer& out, uint32_t address,
                                         const platform::Ipv6Bytes& address6) const {
  if (family_ == platform::SocketFamily::Ipv4) {
    str::appendIPv4(out, address);
  } else {
    str::appendIPv6(out, address6.data());
  }
}

bool ConnectionRecord::isLoopback() const {
  return family_ == platform::SocketFamily::Ipv4 ? localAddress_ == kLoopbackAddress
                                                 : localAddress6_ == kLoopbackAddress6;
}

std::u16string_view ConnectionRecord::protocolText(std::u16string_view ipv4,
                                                   std::u16string_view ipv6,
                                                   std::u16string_view dualStack) const {
  switch (family_) {
    case platform::SocketFamily::Ipv6:
      return ipv6;
    case platform::SocketFamily::DualStack:
      return dualStack;
    default:
      return ipv4;
  }
}

std::u16string_view ConnectionRecord::getLocalAddressText() {
  text_.clear();
  appendAddressText(text_, localAddress_, localAddress6_);
  return text();
}

std::u16string_view ConnectionRecord::getLocalPortText() {
  text_.assignU32(static_cast<uint32_t>(localPort_));
  return text();
}

void ConnectionRecord::setPid(int32_t pid) {
  pid_ = pid;
  recomputeKey();
}

void formatPid(str::StrBuffer& out, int32_t pid) {
  if (pid < 0) {
    out.assign(u"-");
  } else {
    out.assignS32(pid);
  }
}

std::u16string_view ConnectionRecord::getPidText() {
  formatPid(text_, pid_);
  return text();
}

std::u16string_view ConnectionRecord::getProcessName() {
  if (pid_ < 0) {
    text_.clear();
  } else {
    takeText(text_, win::getProcessName(pid_));
  }
  return text();
}

bool ConnectionRecord::hasProcessPath() {
  return pid_ >= 0 && !getProcessPath().empty();
}

std::u16string_view ConnectionRecord::getProcessPath() {
  if (pid_ < 0) {
    text_.clear();
  } else {
    takeText(text_, win::getProcessPath(pid_));
  }
  return text();
}

void ConnectionRecord::setEndTime(int64_t time) {
  endTime_ = time;
  duration_ = endTime_ - startTime_;
}

std::u16string_view ConnectionRecord::getDurationText() {
  int64_t duration = endTime_ == 0 ? time::nowMs() - startTime_ : duration_;
  time::formatDuration(text_, duration);
  return text();
}

bool ConnectionRecord::resolveLocalHostName() {
  if (localNameResolved_) {
    return false;
  }
  // In the background like a remote name: a resolver that does not answer must not hold up
  // the caller, the refresh cycle, which asks again until the answer has come.
  localNameResolved_ = lookUpName(getLocalAddressText(), localHostName_);
  return localNameResolved_;
}

bool ConnectionRecord::lookUpName(std::u16string_view address, str::StrBuffer& name) {
  PoolPtr<str::StrBuffer> answer = lookupHostName(address);
  if (answer->empty()) {
    return false;
  }
  takeText(name, answer);
  return true;
}

bool ConnectionRecord::isLocalHostNameResolved() const {
  return localNameResolved_ && !localHostName_.empty();
}

std::u16string_view ConnectionRecord::getLocalHostText() {
  if (!localHostName_.empty()) {
    return localHostName_.view();
  }
  return getLocalAddressText();
}

void ConnectionRecord::releaseViewRecord() {
  viewRecord_.reset();
}

void ConnectionRecord::buildTrafficKey() {
  if (receivedBytes_ == -1 || trafficKey_ != nullptr) {
    return;
  }
  trafficKey_ = str::StrBuffer::make();
  trafficKey_->assign(getProtocolText());
  trafficKey_->appendChar(u',');
  appendTrafficKeyEndpoints(*trafficKey_);
  trafficKeyHash_ = trafficKey_->hashCode();
}

void ConnectionRecord::appendEndpoint(str::StrBuffer& key, uint32_t address,
                                      const platform::Ipv6Bytes& address6, int32_t port) const {
  appendTrafficEndpoint(key,
                        family_ == platform::SocketFamily::Ipv4
                            ? platform::IpAddress::v4(address)
                            : platform::IpAddress::v6(address6.data()),
                        port);
}

void ConnectionRecord::releaseTrafficKey() {
  trafficKey_.reset();
  trafficKeyHash_ = 0;
}

bool ConnectionRecord::addTraffic(const TrafficTable& traffic, bool received) {
  int64_t& total = received ? receivedBytes_ : sentBytes_;
  if (total == -1 || traffic.count() == 0 || trafficKey_ == nullptr) {
    return false;
  }
  const TrafficCounts* counts = traffic.get(*trafficKey_);
  if (counts == nullptr) {
    return false;
  }
  uint64_t bytes = received ? counts->received : counts->sent;
  if (bytes == 0) {
    return false;
  }
  total += static_cast<int64_t>(bytes);
  return true;
}

bool ConnectionRecord::addReceived(const TrafficTable& traffic) {
  return addTraffic(traffic, true);
}

bool ConnectionRecord::addSent(const TrafficTable& traffic) {
  return addTraffic(traffic, false);
}

void ConnectionRecord::useKernelTotals(bool available, uint64_t received, uint64_t sent) {
  if (!available) {
    markUnmeasured();
  } else if (receivedBytes_ != -1) {
    receivedBytes_ = static_cast<int64_t>(received);
    sentBytes_ = static_cast<int64_t>(sent);
    kernelTotals_ = true;
  }
}

ConnectionRecord::TotalsChange ConnectionRecord::takeKernelTotals(const ConnectionRecord& later) {
  TotalsChange change;
  if (!kernelTotals_ || !later.kernelTotals_) {
    return change;
  }
  change.received = later.receivedBytes_ != receivedBytes_;
  change.sent = later.sentBytes_ != sentBytes_;
  receivedBytes_ = later.receivedBytes_;
  sentBytes_ = later.sentBytes_;
  return change;
}

void ConnectionRecord::finishKey(const platform::Ipv6Bytes* remote) {
  std::memcpy(&key_[4], localAddress6_.data(), localAddress6_.size());
  if (remote != nullptr) {
    std::memcpy(&key_[8], remote->data(), remote->size());
  } else {
    key_[8] = key_[9] = key_[10] = key_[11] = 0;
  }
  key_[12] = static_cast<uint32_t>(family_);
  keyHash_ = 0;
  for (uint32_t word : key_) {
    keyHash_ ^= word;
  }
}

bool ConnectionRecord::equals(const IObject& other,
                              const IComparator<IObject>* /*comparator*/) const {
  if (typeid(other) != typeid(*this)) {
    return false;
  }
  const auto& record = static_cast<const ConnectionRecord&>(other);
  return std::memcmp(key_, record.key_, sizeof key_) == 0;
}

bool ConnectionRecord::equalsIgnoreCase(const IObject& other,
                                        const IComparator<IObject>* comparator) const {
  return equals(other, comparator);
}

}  // namespace s::system::network

#include "network/ConnectionRecord.h"

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

std::u16string_view ConnectionRecord::getLocalAddressText() {
  str::formatIPv4(text_, localAddress_);
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
  if (pid_ == -1) {
    text_.clear();
  } else {
    takeText(text_, win::getProcessName(pid_));
  }
  return text();
}

bool ConnectionRecord::hasProcessPath() {
  return pid_ != -1 && !getProcessPath().empty();
}

std::u16string_view ConnectionRecord::getProcessPath() {
  if (pid_ == -1) {
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
  getLocalAddressText();
  takeText(localHostName_, resolveHostNameNow(text()));
  localNameResolved_ = true;
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

bool ConnectionRecord::equals(const IObject& other,
                              const IComparator<IObject>* /*comparator*/) const {
  if (typeid(other) != typeid(*this)) {
    return false;
  }
  const auto& record = static_cast<const ConnectionRecord&>(other);
  return key_[0] == record.key_[0] && key_[1] == record.key_[1] && key_[2] == record.key_[2] &&
         key_[3] == record.key_[3];
}

bool ConnectionRecord::equalsIgnoreCase(const IObject& other,
                                        const IComparator<IObject>* comparator) const {
  return equals(other, comparator);
}

}  // namespace s::system::network

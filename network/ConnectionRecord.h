#pragma once

#include <cstdint>
#include <string_view>
#include <utility>

#include "framework/str/StrBuffer.h"
#include "network/IConnection.h"

namespace s::system::network {

// A snapshot's worth of records goes back to its pool every cycle: the pools keep as many as a
// large table holds, so that a cycle over an unchanged table makes none.
inline constexpr uint32_t kRecordPoolCapacity = 65536;

// A pid as the lists show it: "-" for an owner this user may not see (-1).
void formatPid(str::StrBuffer& out, int32_t pid);

// What TCP and UDP records share: the local endpoint, owner, times, host names, traffic and the
// view's row. The key words and the loopback rule are the concrete classes' own.
class ConnectionRecord : public IConnection {
 public:
  ConnectionRecord();
  ConnectionRecord(const ConnectionRecord&) = delete;
  ConnectionRecord& operator=(const ConnectionRecord&) = delete;

  uint32_t getLocalAddress() const override { return localAddress_; }
  std::u16string_view getLocalAddressText() override;
  int32_t getLocalPort() const override { return localPort_; }
  std::u16string_view getLocalPortText() override;
  void setPid(int32_t pid) override;
  int32_t getPid() const override { return pid_; }
  std::u16string_view getPidText() override;
  std::u16string_view getProcessName() override;
  bool hasProcessPath() override;
  std::u16string_view getProcessPath() override;
  void setStartTime(int64_t time) override { startTime_ = time; }
  int64_t getStartTime() const override { return startTime_; }
  void setEndTime(int64_t time) override;
  int64_t getEndTime() const override { return endTime_; }
  int64_t getDuration() const override { return duration_; }
  std::u16string_view getDurationText() override;
  bool resolveLocalHostName() override;
  bool isLocalHostNameResolved() const override;
  std::u16string_view getLocalHostName() const override { return localHostName_.view(); }
  std::u16string_view getLocalHostText() override;
  IPoolable* getViewRecord() const override { return viewRecord_.get(); }
  void setViewRecord(PoolPtr<IPoolable> row) override { viewRecord_ = std::move(row); }
  void releaseViewRecord() override;
  void buildTrafficKey() override;
  void releaseTrafficKey() override;
  bool addReceived(const TrafficTable& traffic) override;
  int64_t getReceivedBytes() const override { return receivedBytes_; }
  bool addSent(const TrafficTable& traffic) override;
  int64_t getSentBytes() const override { return sentBytes_; }
  bool isHostNameShown() const override { return hostNameShown_; }
  void setHostNameShown(bool shown) override { hostNameShown_ = shown; }

  using IObject::equals;
  bool equals(const IObject& other, const IComparator<IObject>* comparator) const override;
  bool equalsIgnoreCase(const IObject& other,
                        const IComparator<IObject>* comparator) const override;
  uint32_t hashCode() const override { return keyHash_; }
  uint32_t hashCodeIgnoreCase() const override { return keyHash_; }

  // Back to the state of a record fresh from its pool.
  void reset() override;

 protected:
  // The words of the key and their hash, from the fields held now.
  virtual void recomputeKey() = 0;
  // Appends the traffic key's part after the protocol's "XXX,".
  virtual void appendTrafficKeyEndpoints(str::StrBuffer& key) = 0;
  void markUnmeasured();
  std::u16string_view text() const { return text_.view(); }

  uint32_t localAddress_ = 0;
  int32_t localPort_ = 0;
  int32_t pid_ = -1;
  str::StrBuffer text_;  // built once per object, emptied on reset
  bool localNameResolved_ = false;
  str::StrBuffer localHostName_;
  int64_t startTime_ = 0;
  int64_t endTime_ = 0;
  int64_t duration_ = 0;
  uint32_t key_[4] = {0, 0, 0, 0};
  uint32_t keyHash_ = 0;

 private:
  bool addTraffic(const TrafficTable& traffic, bool received);

  PoolPtr<IPoolable> viewRecord_;
  int64_t receivedBytes_ = 0;
  int64_t sentBytes_ = 0;
  PoolPtr<str::StrBuffer> trafficKey_;
  uint32_t trafficKeyHash_ = 0;
  bool hostNameShown_ = true;
};

}  // namespace s::system::network

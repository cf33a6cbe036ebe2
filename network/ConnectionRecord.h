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

// A pid as the lists show it: "-" for an owner that cannot be seen (kOwnerUnseen, kOwnerOutside).
void formatPid(str::StrBuffer& out, int32_t pid);

// What TCP and UDP records share: the local endpoint, owner, times, host names, traffic and the
// view's row. The key words and the loopback rule are the concrete classes' own.
//
// The key is the four words of an IPv4 system, followed by the IPv6 addresses and the family,
// all 0 in an IPv4 record: its equality and hash stay those of the four words.
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
  platform::SocketFamily getFamily() const override { return family_; }
  const platform::Ipv6Bytes& getLocalAddress6() const override { return localAddress6_; }

  // Totals the kernel keeps for the connection (TCP's own counters), shown as they are in
  // place of captured traffic; without them (`available` false) the record is not measured.
  // Set after the addresses, so that a loopback record stays unmeasured.
  void useKernelTotals(bool available, uint64_t received, uint64_t sent);
  // Takes the kernel's totals from a later reading of the same connection.
  struct TotalsChange {
    bool received = false;
    bool sent = false;
  };
  TotalsChange takeKernelTotals(const ConnectionRecord& later);
  bool hasKernelTotals() const { return kernelTotals_; }

  using IObject::equals;
  bool equals(const IObject& other, const IComparator<IObject>* comparator) const override;
  bool equalsIgnoreCase(const IObject& other,
                        const IComparator<IObject>* comparator) const override;
  uint32_t hashCode() const override { return keyHash_; }
  uint32_t hashCodeIgnoreCase() const override { return keyHash_; }

  // Back to the state of a record fresh from its pool.
  void reset() override;

 protected:
  static constexpr uint32_t kKeyWords = 13;

  // The words of the key and their hash, from the fields held now.
  virtual void recomputeKey() = 0;
  // Sets the key words after the first four, from the IPv6 addresses (`remote` null for none),
  // and the hash of all words.
  void finishKey(const platform::Ipv6Bytes* remote);
  // Appends the traffic key's part after the protocol's "XXX,".
  virtual void appendTrafficKeyEndpoints(str::StrBuffer& key) = 0;
  // Appends an endpoint of the record's family as traffic keys write it.
  void appendEndpoint(str::StrBuffer& key, uint32_t address, const platform::Ipv6Bytes& address6,
                      int32_t port) const;
  // The protocol text of this record's family, from its IPv4, IPv6 and dual-stack forms.
  std::u16string_view protocolText(std::u16string_view ipv4, std::u16string_view ipv6,
                                   std::u16string_view dualStack) const;
  void appendAddressText(str::StrBuffer& out, uint32_t address,
                         const platform::Ipv6Bytes& address6) const;
  bool isLoopback() const;
  // The name the background lookup has for `address` into `name`; false while it has none.
  static bool lookUpName(std::u16string_view address, str::StrBuffer& name);
  void markUnmeasured();
  std::u16string_view text() const { return text_.view(); }

  platform::SocketFamily family_ = platform::SocketFamily::Ipv4;
  platform::Ipv6Bytes localAddress6_{};
  uint32_t localAddress_ = 0;
  int32_t localPort_ = 0;
  int32_t pid_ = -1;
  str::StrBuffer text_;  // built once per object, emptied on reset
  bool localNameResolved_ = false;
  str::StrBuffer localHostName_;
  int64_t startTime_ = 0;
  int64_t endTime_ = 0;
  int64_t duration_ = 0;
  uint32_t key_[kKeyWords] = {};
  uint32_t keyHash_ = 0;

 private:
  bool addTraffic(const TrafficTable& traffic, bool received);

  PoolPtr<IPoolable> viewRecord_;
  int64_t receivedBytes_ = 0;
  int64_t sentBytes_ = 0;
  PoolPtr<str::StrBuffer> trafficKey_;
  uint32_t trafficKeyHash_ = 0;
  bool hostNameShown_ = true;
  bool kernelTotals_ = false;
};

}  // namespace s::system::network

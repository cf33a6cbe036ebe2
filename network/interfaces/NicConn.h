#pragma once

#include <atomic>
#include <cstdint>

#include "framework/base/ObjLocker.h"
#include "framework/base/Pooled.h"
#include "framework/thread/ITask.h"
#include "framework/thread/Thread.h"
#include "network/interfaces/INicConn.h"
#include "platform/linux/capture/InterfaceList.h"

namespace s::system::network::win {

namespace detail {
class NicConnBases : public INicConn, public ITask {};
}  // namespace detail

// A Linux network interface: connection name and adapter id are the interface's name; the PnP
// instance id is the device behind it ("Virtual" without one). Its configuration comes from
// route netlink, /proc/net/route and /etc/resolv.conf. Linux keeps no DHCP server or WINS
// configuration in the kernel: those fields stay empty, and DHCP counts as enabled when the
// address was given for a lifetime.
class NicConn final : public Pooled<NicConn, detail::NicConnBases> {
 public:
  NicConn();
  ~NicConn() override;
  NicConn(const NicConn&) = delete;
  NicConn& operator=(const NicConn&) = delete;

  void start() override;
  void stop(bool wait) override;
  void refreshAdapterInfo() override;
  // One refresh from an interface listing made by the caller.
  void refreshFrom(const std::vector<platform::InterfaceInfo>& interfaces);

  bool isPresent() const override;
  void setPresent(bool present) override;
  std::u16string_view getConnectionName() const override { return text(kConnectionName); }
  void setConnectionName(std::u16string_view name) override { setText(kConnectionName, name); }
  std::u16string_view getAdapterId() const override { return text(kAdapterId); }
  void setAdapterId(std::u16string_view id) override { setText(kAdapterId, id); }
  bool isVirtual() const override;
  std::u16string_view getPnpInstanceId() const override { return text(kPnpInstanceId); }
  void setPnpInstanceId(std::u16string_view id) override { setText(kPnpInstanceId, id); }
  int64_t getPeak1() const override { return peaks_[0].load(); }
  void setPeak1(int64_t value) override { keepPeak(0, value); }
  int64_t getPeak2() const override { return peaks_[1].load(); }
  void setPeak2(int64_t value) override { keepPeak(1, value); }
  int64_t getPeak3() const override { return peaks_[2].load(); }
  void setPeak3(int64_t value) override { keepPeak(2, value); }

  bool getDescription(str::StrBuffer& out) const override { return copy(kDescription, out); }
  void getTotalOctets(uint64_t& count) const override;
  void getInOctets(uint64_t& count) const override;
  void getOutOctets(uint64_t& count) const override;
  bool getHardwareAddress(str::StrBuffer& out) const override { return copy(kHardware, out); }
  bool getIpAddress(str::StrBuffer& out) const override { return copy(kIpAddress, out); }
  bool getSubnetMask(str::StrBuffer& out) const override { return copy(kSubnetMask, out); }
  bool getGateway(str::StrBuffer& out) const override { return copy(kGateway, out); }
  bool getDnsServer1(str::StrBuffer& out) const override { return copy(kDns1, out); }
  bool getDnsServer2(str::StrBuffer& out) const override { return copy(kDns2, out); }
  bool getDhcpEnabled(bool& out) const override;
  bool getDhcpServer(str::StrBuffer& out) const override { return copy(kDhcpServer, out); }
  bool getWinsEnabled(bool& out) const override;
  bool getWinsPrimary(str::StrBuffer& out) const override { return copy(kWinsPrimary, out); }
  bool getWinsSecondary(str::StrBuffer& out) const override { return copy(kWinsSecondary, out); }

  // The refresh task: a refresh every 3000 ms, in steps of 200 ms.
  void run() override;
  void reset() override;

  std::u16string_view className() const override { return u"s_system_network_win_NicConn"; }

 private:
  enum Field {
    kConnectionName,
    kAdapterId,
    kPnpInstanceId,
    kDescription,
    kHardware,
    kIpAddress,
    kSubnetMask,
    kGateway,
    kDns1,
    kDns2,
    kDhcpServer,
    kWinsPrimary,
    kWinsSecondary,
    kFieldCount
  };
  std::u16string_view text(Field field) const;
  void setText(Field field, std::u16string_view value);
  void setText(Field field, const std::string& ascii);
  bool copy(Field field, str::StrBuffer& out) const;
  void keepPeak(int index, int64_t value);
  void readOctets(uint64_t& in, uint64_t& out) const;

  mutable thread::ObjLocker lock_;
  bool present_ = false;
  bool dhcpEnabled_ = false;
  bool winsEnabled_ = false;
  PoolPtr<str::StrBuffer> texts_[kFieldCount];
  std::atomic<int64_t> peaks_[3] = {};
  std::atomic<bool> running_{false};
  std::atomic<bool> stopRequested_{false};
  PoolPtr<thread::win::Thread> thread_;
};

}  // namespace s::system::network::win

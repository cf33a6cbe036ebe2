#pragma once

#include <cstdint>
#include <string_view>

#include "framework/base/IObject.h"
#include "framework/base/IPoolable.h"
#include "framework/str/StrBuffer.h"

namespace s::system::network {

// One network interface with its current IPv4 configuration, kept up to date by a refresh task
// of its own. The getters of the configuration copy a field into `out` and give true while the
// interface is present; otherwise they give false and leave `out` alone.
class INicConn : public IObject, public IPoolable {
 public:
  // Runs or stops the refresh task (every 3 s).
  virtual void start() = 0;
  virtual void stop(bool wait) = 0;
  // One refresh on the caller's thread.
  virtual void refreshAdapterInfo() = 0;

  virtual bool isPresent() const = 0;
  virtual void setPresent(bool present) = 0;
  virtual std::u16string_view getConnectionName() const = 0;
  virtual void setConnectionName(std::u16string_view name) = 0;
  virtual std::u16string_view getAdapterId() const = 0;
  virtual void setAdapterId(std::u16string_view id) = 0;
  // Whether the PnP instance id is "Virtual", ignoring case.
  virtual bool isVirtual() const = 0;
  virtual std::u16string_view getPnpInstanceId() const = 0;
  virtual void setPnpInstanceId(std::u16string_view id) = 0;
  // The setters keep the larger of the stored and the given value.
  virtual int64_t getPeak1() const = 0;
  virtual void setPeak1(int64_t value) = 0;
  virtual int64_t getPeak2() const = 0;
  virtual void setPeak2(int64_t value) = 0;
  virtual int64_t getPeak3() const = 0;
  virtual void setPeak3(int64_t value) = 0;

  virtual bool getDescription(str::StrBuffer& out) const = 0;
  // The interface's octet counters; 0 when it has none or cannot be read.
  virtual void getTotalOctets(uint64_t& count) const = 0;
  virtual void getInOctets(uint64_t& count) const = 0;
  virtual void getOutOctets(uint64_t& count) const = 0;
  virtual bool getHardwareAddress(str::StrBuffer& out) const = 0;
  virtual bool getIpAddress(str::StrBuffer& out) const = 0;
  virtual bool getSubnetMask(str::StrBuffer& out) const = 0;
  virtual bool getGateway(str::StrBuffer& out) const = 0;
  virtual bool getDnsServer1(str::StrBuffer& out) const = 0;
  virtual bool getDnsServer2(str::StrBuffer& out) const = 0;
  virtual bool getDhcpEnabled(bool& out) const = 0;
  virtual bool getDhcpServer(str::StrBuffer& out) const = 0;
  virtual bool getWinsEnabled(bool& out) const = 0;
  virtual bool getWinsPrimary(str::StrBuffer& out) const = 0;
  virtual bool getWinsSecondary(str::StrBuffer& out) const = 0;
};

}  // namespace s::system::network

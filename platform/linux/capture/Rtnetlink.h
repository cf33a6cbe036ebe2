#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/linux/IpAddress.h"

namespace s::platform {

// One network interface as RTM_GETLINK gives it.
struct LinkInfo {
  int index = 0;
  std::string name;
  uint32_t flags = 0;  // IFF_*
  uint16_t type = 0;   // ARPHRD_*
  std::vector<uint8_t> hardwareAddress;
  bool hasStats = false;  // the kernel gave IFLA_STATS64
  uint64_t rxBytes = 0;
  uint64_t txBytes = 0;
};

// One interface address as RTM_GETADDR gives it.
struct AddressInfo {
  int index = 0;  // interface index
  IpAddress address;
  uint8_t prefixLength = 0;
  uint32_t flags = 0;  // IFA_F_*
  std::string label;
};

// A route netlink socket of the calling thread's network namespace, kept for repeated dumps.
// Failures give false with errno set.
class RtnetlinkSocket {
 public:
  RtnetlinkSocket() = default;
  ~RtnetlinkSocket();
  RtnetlinkSocket(const RtnetlinkSocket&) = delete;
  RtnetlinkSocket& operator=(const RtnetlinkSocket&) = delete;

  bool open();
  void close();
  bool dumpLinks(std::vector<LinkInfo>& links);
  enum class Families : uint8_t { Ipv4, Ipv4AndIpv6 };
  bool dumpAddresses(std::vector<AddressInfo>& addresses, Families families = Families::Ipv4);

 private:
  // Sends a dump request and hands every answer message to `parse`.
  template <class Parse>
  bool dump(uint16_t type, const void* payload, size_t payloadSize, Parse&& parse);

  int socket_ = -1;
  uint32_t sequence_ = 0;
  std::vector<uint8_t> buffer_;
};

// A route netlink socket that hears of interfaces added, changed and removed (RTMGRP_LINK), in
// the network namespace of the thread that opened it.
class LinkEvents {
 public:
  LinkEvents() = default;
  ~LinkEvents();
  LinkEvents(const LinkEvents&) = delete;
  LinkEvents& operator=(const LinkEvents&) = delete;

  bool open();
  // Waits for notifications, at most `timeoutMs` (-1: without limit), and reads all that came.
  // Gives true when there was one, or when the kernel had to drop some: either way the list of
  // interfaces is to be read anew.
  bool wait(int timeoutMs);

 private:
  int socket_ = -1;
  std::vector<uint8_t> buffer_;
};

// Whether interface `ifindex` holds `address` (errno set when route netlink cannot be read).
bool interfaceHoldsAddress(int ifindex, const IpAddress& address);

// The index of the interface that holds `address`, or 0 when none does (errno then
// EADDRNOTAVAIL, or the netlink failure).
int interfaceHoldingAddress(const IpAddress& address);

}  // namespace s::platform

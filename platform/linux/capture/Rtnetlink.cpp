#include "platform/linux/capture/Rtnetlink.h"

#include <linux/if_link.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace s::platform {

namespace {

constexpr size_t kBufferSize = 1U << 16;

template <class Visit>
void forEachAttribute(const rtattr* attribute, int length, Visit&& visit) {
  for (; RTA_OK(attribute, length); attribute = RTA_NEXT(attribute, length)) {
    visit(attribute);
  }
}

}  // namespace

RtnetlinkSocket::~RtnetlinkSocket() {
  close();
}

bool RtnetlinkSocket::open() {
  if (socket_ >= 0) {
    return true;
  }
  socket_ = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
  if (socket_ < 0) {
    return false;
  }
  sockaddr_nl local{};
  local.nl_family = AF_NETLINK;
  if (bind(socket_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
    int error = errno;
    close();
    errno = error;
    return false;
  }
  buffer_.resize(kBufferSize);
  return true;
}

void RtnetlinkSocket::close() {
  if (socket_ >= 0) {
    ::close(socket_);
    socket_ = -1;
  }
}

template <class Parse>
bool RtnetlinkSocket::dump(uint16_t type, const void* payload, size_t payloadSize, Parse&& parse) {
  if (!open()) {
    return false;
  }
  struct {
    nlmsghdr header;
    uint8_t payload[32];
  } request{};
  request.header.nlmsg_len = static_cast<uint32_t>(NLMSG_LENGTH(payloadSize));
  request.header.nlmsg_type = type;
  request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
  request.header.nlmsg_seq = ++sequence_;
  std::memcpy(request.payload, payload, payloadSize);
  sockaddr_nl kernel{};
  kernel.nl_family = AF_NETLINK;
  if (sendto(socket_, &request, request.header.nlmsg_len, 0, reinterpret_cast<sockaddr*>(&kernel),
             sizeof kernel) < 0) {
    return false;
  }
  for (;;) {
    ssize_t received = recv(socket_, buffer_.data(), buffer_.size(), 0);
    if (received < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    const auto length = static_cast<size_t>(received);
    size_t next = 0;
    for (size_t offset = 0; offset + sizeof(nlmsghdr) <= length; offset = next) {
      auto* message = reinterpret_cast<nlmsghdr*>(buffer_.data() + offset);
      if (message->nlmsg_len < sizeof(nlmsghdr) || message->nlmsg_len > length - offset) {
        break;  // a truncated message ends the datagram
      }
      next = offset + NLMSG_ALIGN(message->nlmsg_len);
      if (message->nlmsg_seq != sequence_) {
        continue;  // an answer to an abandoned earlier dump
      }
      if (message->nlmsg_type == NLMSG_DONE) {
        return true;
      }
      if (message->nlmsg_type == NLMSG_ERROR) {
        const auto* error = static_cast<const nlmsgerr*>(NLMSG_DATA(message));
        errno = error->error != 0 ? -error->error : EPROTO;
        return false;
      }
      parse(message);
    }
  }
}

bool RtnetlinkSocket::dumpLinks(std::vector<LinkInfo>& links) {
  links.clear();
  ifinfomsg request{};
  request.ifi_family = AF_UNSPEC;
  return dump(RTM_GETLINK, &request, sizeof request, [&links](const nlmsghdr* message) {
    if (message->nlmsg_type != RTM_NEWLINK) {
      return;
    }
    const auto* info = static_cast<const ifinfomsg*>(NLMSG_DATA(message));
    LinkInfo link;
    link.index = info->ifi_index;
    link.flags = info->ifi_flags;
    link.type = info->ifi_type;
    forEachAttribute(IFLA_RTA(info), static_cast<int>(IFLA_PAYLOAD(message)),
                     [&link](const rtattr* attribute) {
                       const auto* data = static_cast<const uint8_t*>(RTA_DATA(attribute));
                       size_t size = RTA_PAYLOAD(attribute);
                       switch (attribute->rta_type) {
                         case IFLA_IFNAME:
                           link.name.assign(reinterpret_cast<const char*>(data),
                                            strnlen(reinterpret_cast<const char*>(data), size));
                           break;
                         case IFLA_ADDRESS:
                           link.hardwareAddress.assign(data, data + size);
                           break;
                         case IFLA_STATS64:
                           if (size >= sizeof(rtnl_link_stats64)) {
                             rtnl_link_stats64 stats{};
                             std::memcpy(&stats, data, sizeof stats);
                             link.hasStats = true;
                             link.rxBytes = stats.rx_bytes;
                             link.txBytes = stats.tx_bytes;
                           }
                           break;
                         default:
                           break;
                       }
                     });
    links.push_back(std::move(link));
  });
}

bool RtnetlinkSocket::dumpAddresses(std::vector<AddressInfo>& addresses, Families families) {
  addresses.clear();
  ifaddrmsg request{};
  request.ifa_family = families == Families::Ipv4 ? AF_INET : AF_UNSPEC;
  return dump(RTM_GETADDR, &request, sizeof request, [&addresses](const nlmsghdr* message) {
    if (message->nlmsg_type != RTM_NEWADDR) {
      return;
    }
    const auto* info = static_cast<const ifaddrmsg*>(NLMSG_DATA(message));
    if (info->ifa_family != AF_INET && info->ifa_family != AF_INET6) {
      return;
    }
    const bool ipv6 = info->ifa_family == AF_INET6;
    const size_t addressSize = ipv6 ? 16 : 4;
    AddressInfo entry;
    entry.index = static_cast<int>(info->ifa_index);
    entry.address.family = ipv6 ? IpFamily::V6 : IpFamily::V4;
    entry.prefixLength = info->ifa_prefixlen;
    entry.flags = info->ifa_flags;
    bool hasLocal = false;
    IpAddress peerAddress = entry.address;
    bool hasPeer = false;
    forEachAttribute(IFA_RTA(info), static_cast<int>(IFA_PAYLOAD(message)),
                     [&](const rtattr* attribute) {
                       const auto* data = static_cast<const char*>(RTA_DATA(attribute));
                       size_t size = RTA_PAYLOAD(attribute);
                       if (attribute->rta_type == IFA_LOCAL && size >= addressSize) {
                         std::memcpy(entry.address.bytes.data(), data, addressSize);
                         hasLocal = true;
                       } else if (attribute->rta_type == IFA_ADDRESS && size >= addressSize) {
                         std::memcpy(peerAddress.bytes.data(), data, addressSize);
                         hasPeer = true;
                       } else if (attribute->rta_type == IFA_FLAGS && size >= 4) {
                         std::memcpy(&entry.flags, data, 4);
                       } else if (attribute->rta_type == IFA_LABEL) {
                         entry.label.assign(data, strnlen(data, size));
                       }
                     });
    // IFA_LOCAL is the interface's own address; on a point-to-point link IFA_ADDRESS is the
    // peer's, otherwise both are the same and either may be missing.
    if (!hasLocal && hasPeer) {
      entry.address = peerAddress;
      hasLocal = true;
    }
    if (hasLocal) {
      addresses.push_back(std::move(entry));
    }
  });
}

LinkEvents::~LinkEvents() {
  if (socket_ >= 0) {
    ::close(socket_);
  }
}

bool LinkEvents::open() {
  if (socket_ >= 0) {
    return true;
  }
  socket_ = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE);
  if (socket_ < 0) {
    return false;
  }
  sockaddr_nl local{};
  local.nl_family = AF_NETLINK;
  local.nl_groups = RTMGRP_LINK;
  if (bind(socket_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
    int error = errno;
    ::close(socket_);
    socket_ = -1;
    errno = error;
    return false;
  }
  buffer_.resize(kBufferSize);
  return true;
}

bool LinkEvents::wait(int timeoutMs) {
  pollfd ready{socket_, POLLIN, 0};
  if (socket_ < 0 || poll(&ready, 1, timeoutMs) <= 0) {
    return false;
  }
  bool heard = false;
  for (;;) {
    ssize_t received = recv(socket_, buffer_.data(), buffer_.size(), 0);
    if (received < 0 && errno == EINTR) {
      continue;
    }
    // ENOBUFS: notifications were lost, which says as much as one that came.
    if (received <= 0 && !(received < 0 && errno == ENOBUFS)) {
      return heard;
    }
    heard = true;
  }
}

bool interfaceHoldsAddress(int ifindex, const IpAddress& address) {
  RtnetlinkSocket netlink;
  std::vector<AddressInfo> addresses;
  if (!netlink.dumpAddresses(addresses, RtnetlinkSocket::Families::Ipv4AndIpv6)) {
    return false;
  }
  return std::any_of(addresses.begin(), addresses.end(), [&](const AddressInfo& entry) {
    return entry.index == ifindex && entry.address == address;
  });
}

int interfaceHoldingAddress(const IpAddress& address) {
  RtnetlinkSocket netlink;
  std::vector<AddressInfo> addresses;
  if (!netlink.dumpAddresses(addresses, address.family == IpFamily::V4
                                            ? RtnetlinkSocket::Families::Ipv4
                                            : RtnetlinkSocket::Families::Ipv4AndIpv6)) {
    return 0;
  }
  for (const AddressInfo& entry : addresses) {
    if (entry.address == address) {
      return entry.index;
    }
  }
  errno = EADDRNOTAVAIL;
  return 0;
}

}  // namespace s::platform

#include "platform/linux/SockDiagSource.h"

#include <linux/inet_diag.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <linux/sock_diag.h>
#include <linux/tcp.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <initializer_list>

namespace s::platform {

namespace {

// Larger than the biggest datagram the kernel builds for a dump (32 KiB).
constexpr size_t kReceiveBufferSize = 64 * 1024;

struct Request {
  nlmsghdr header;
  inet_diag_req_v2 body;
};

Request makeRequest(uint16_t type, uint16_t flags, uint32_t sequence, uint8_t family,
                    uint8_t protocol, ByteCounts counts = ByteCounts::Without) {
  Request request{};
  request.header.nlmsg_len = sizeof(Request);
  request.header.nlmsg_type = type;
  request.header.nlmsg_flags = flags;
  request.header.nlmsg_seq = sequence;
  request.body.sdiag_family = family;
  request.body.sdiag_protocol = protocol;
  request.body.idiag_states = ~0U;
  if (counts == ByteCounts::FromTcpInfo && protocol == IPPROTO_TCP) {
    request.body.idiag_ext = 1U << (INET_DIAG_INFO - 1);
  }
  return request;
}

bool sendRequest(int fd, const Request& request) {
  sockaddr_nl kernel{};
  kernel.nl_family = AF_NETLINK;
  for (;;) {
    ssize_t sent = sendto(fd, &request, sizeof(request), 0,
                          reinterpret_cast<const sockaddr*>(&kernel), sizeof(kernel));
    if (sent == static_cast<ssize_t>(sizeof(request))) {
      return true;
    }
    if (sent < 0 && errno == EINTR) {
      continue;
    }
    if (sent >= 0) {
      errno = EIO;
    }
    return false;
  }
}

int openDiagSocket() {
  return socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_SOCK_DIAG);
}

ssize_t receive(int fd, uint8_t* buffer, size_t size) {
  for (;;) {
    ssize_t got = recv(fd, buffer, size, 0);
    if (got >= 0 || errno != EINTR) {
      return got;
    }
  }
}

// The payload bytes of a TCP socket's counters. The received sequence counts the peer's FIN,
// and the sent bytes count every retransmission again.
void takeByteCounts(const uint8_t* data, size_t size, SocketRow& row) {
  constexpr size_t kNeeded = offsetof(tcp_info, tcpi_bytes_retrans) + sizeof(uint64_t);
  if (size < kNeeded) {
    return;  // a kernel older than 4.19
  }
  tcp_info info{};
  std::memcpy(&info, data, std::min(size, sizeof info));
  bool finReceived =
      row.state == kTcpCloseWait || row.state == kTcpClosing || row.state == kTcpLastAck;
  row.bytesReceived = info.tcpi_bytes_received - (finReceived && info.tcpi_bytes_received > 0);
  row.bytesSent = info.tcpi_bytes_sent - std::min(info.tcpi_bytes_retrans, info.tcpi_bytes_sent);
  row.hasByteCounts = true;
}

// Fills the row from one message and the attributes after it.
void rowFromMessage(const nlmsghdr& header, Protocol protocol, SocketRow& row) {
  const auto& message = *static_cast<const inet_diag_msg*>(NLMSG_DATA(&header));
  row = SocketRow{};
  row.state = protocol == Protocol::Tcp ? tcpStateFromLinux(message.idiag_state) : 0;
  V6Only v6Only = V6Only::Unknown;
  const uint8_t* tcpInfo = nullptr;
  size_t tcpInfoSize = 0;
  int length = static_cast<int>(header.nlmsg_len - NLMSG_LENGTH(sizeof(inet_diag_msg)));
  for (const auto* attribute = reinterpret_cast<const rtattr*>(
           reinterpret_cast<const uint8_t*>(&message) + NLMSG_ALIGN(sizeof(inet_diag_msg)));
       RTA_OK(attribute, length); attribute = RTA_NEXT(attribute, length)) {
    const auto* data = static_cast<const uint8_t*>(RTA_DATA(attribute));
    if (attribute->rta_type == INET_DIAG_SKV6ONLY && RTA_PAYLOAD(attribute) >= 1) {
      v6Only = *data != 0 ? V6Only::On : V6Only::Off;
    } else if (attribute->rta_type == INET_DIAG_INFO) {
      tcpInfo = data;
      tcpInfoSize = RTA_PAYLOAD(attribute);
    }
  }
  if (message.idiag_family == AF_INET) {
    row.localAddress = message.id.idiag_src[0];
    row.remoteAddress = message.id.idiag_dst[0];
  } else {
    uint32_t local[4];
    uint32_t remote[4];
    std::memcpy(local, message.id.idiag_src, sizeof(local));
    std::memcpy(remote, message.id.idiag_dst, sizeof(remote));
    setIpv6TableAddresses(local, remote, v6Only, row);
  }
  row.localPort = ntohs(message.id.idiag_sport);
  row.remotePort = ntohs(message.id.idiag_dport);
  row.inode = message.idiag_inode;
  row.uid = message.idiag_uid;
  if (tcpInfo != nullptr && protocol == Protocol::Tcp) {
    takeByteCounts(tcpInfo, tcpInfoSize, row);
  }
}

// One form of a connection's addresses for a destroy request: IPv4 uses the first word.
struct DestroyTarget {
  uint8_t family;
  uint32_t local[4];
  uint32_t remote[4];
};

// One destroy request and its answer: 0, or the errno the kernel or the socket gave.
int destroyOne(int fd, const DestroyTarget& target, uint16_t localPort, uint16_t remotePort) {
  Request request =
      makeRequest(SOCK_DESTROY, NLM_F_REQUEST | NLM_F_ACK, 1, target.family, IPPROTO_TCP);
  request.body.id.idiag_sport = htons(localPort);
  request.body.id.idiag_dport = htons(remotePort);
  request.body.id.idiag_cookie[0] = INET_DIAG_NOCOOKIE;
  request.body.id.idiag_cookie[1] = INET_DIAG_NOCOOKIE;
  std::memcpy(request.body.id.idiag_src, target.local, sizeof target.local);
  std::memcpy(request.body.id.idiag_dst, target.remote, sizeof target.remote);
  if (!sendRequest(fd, request)) {
    return errno;
  }
  alignas(nlmsghdr) uint8_t reply[1024];
  ssize_t got = receive(fd, reply, sizeof(reply));
  if (got < static_cast<ssize_t>(NLMSG_LENGTH(sizeof(nlmsgerr)))) {
    return got < 0 ? errno : EIO;
  }
  const auto* header = reinterpret_cast<const nlmsghdr*>(reply);
  if (header->nlmsg_type != NLMSG_ERROR) {
    return EIO;
  }
  return -static_cast<const nlmsgerr*>(NLMSG_DATA(header))->error;
}

// Tries the forms in turn until one names a connection; false with errno set.
bool destroyFirst(std::initializer_list<DestroyTarget> targets, uint16_t localPort,
                  uint16_t remotePort) {
  int fd = openDiagSocket();
  if (fd < 0) {
    return false;
  }
  int error = ENOENT;
  for (const DestroyTarget& target : targets) {
    error = destroyOne(fd, target, localPort, remotePort);
    if (error != ENOENT) {
      break;
    }
  }
  ::close(fd);
  errno = error;
  return error == 0;
}

}  // namespace

SockDiagSource::~SockDiagSource() {
  close();
}

bool SockDiagSource::open() {
  if (fd_ >= 0) {
    return true;
  }
  fd_ = openDiagSocket();
  if (fd_ < 0) {
    return false;
  }
  if (buffer_.size() < kReceiveBufferSize) {
    buffer_.resize(kReceiveBufferSize);
  }
  return true;
}

void SockDiagSource::close() {
  if (fd_ >= 0) {
    int saved = errno;
    ::close(fd_);
    errno = saved;
    fd_ = -1;
  }
}

bool SockDiagSource::read(Protocol protocol, ByteCounts counts, std::vector<SocketRow>& rows) {
  rows.clear();
  if (!open()) {
    return false;
  }
  uint8_t ipProtocol = protocol == Protocol::Tcp ? IPPROTO_TCP : IPPROTO_UDP;
  if (!dump(AF_INET, ipProtocol, counts, rows) || !dump(AF_INET6, ipProtocol, counts, rows)) {
    // Unread parts of a broken dump would confuse the next one.
    close();
    return false;
  }
  return true;
}

bool SockDiagSource::dump(uint8_t family, uint8_t ipProtocol, ByteCounts counts,
                          std::vector<SocketRow>& rows) {
  uint32_t sequence = ++sequence_;
  Request request = makeRequest(SOCK_DIAG_BY_FAMILY, NLM_F_REQUEST | NLM_F_DUMP, sequence, family,
                                ipProtocol, counts);
  if (!sendRequest(fd_, request)) {
    return false;
  }
  Protocol protocol = ipProtocol == IPPROTO_TCP ? Protocol::Tcp : Protocol::Udp;
  for (;;) {
    ssize_t got = receive(fd_, buffer_.data(), buffer_.size());
    if (got < 0) {
      return false;
    }
    if (got == 0) {
      errno = EIO;
      return false;
    }
    auto total = static_cast<size_t>(got);
    for (size_t offset = 0; total - offset >= sizeof(nlmsghdr);) {
      const auto* header = reinterpret_cast<const nlmsghdr*>(buffer_.data() + offset);
      if (header->nlmsg_len < sizeof(nlmsghdr) || header->nlmsg_len > total - offset) {
        break;
      }
      offset += std::min<size_t>(NLMSG_ALIGN(header->nlmsg_len), total - offset);
      if (header->nlmsg_seq != sequence) {
        continue;
      }
      if (header->nlmsg_type == NLMSG_DONE) {
        return true;
      }
      if (header->nlmsg_type == NLMSG_ERROR) {
        const auto* error = static_cast<const nlmsgerr*>(NLMSG_DATA(header));
        errno = header->nlmsg_len >= NLMSG_LENGTH(sizeof(nlmsgerr)) && error->error < 0
                    ? -error->error
                    : EIO;
        return false;
      }
      if (header->nlmsg_type != SOCK_DIAG_BY_FAMILY ||
          header->nlmsg_len < NLMSG_LENGTH(sizeof(inet_diag_msg))) {
        continue;
      }
      rows.emplace_back();
      rowFromMessage(*header, protocol, rows.back());
    }
  }
}

bool SockDiagSource::destroyTcp(uint32_t localAddress, uint16_t localPort, uint32_t remoteAddress,
                                uint16_t remotePort) {
  const uint32_t mapped = htonl(0xFFFF);
  return destroyFirst({{AF_INET, {localAddress}, {remoteAddress}},
                       {AF_INET6, {0, 0, mapped, localAddress}, {0, 0, mapped, remoteAddress}}},
                      localPort, remotePort);
}

bool SockDiagSource::destroyTcp6(const Ipv6Bytes& localAddress, uint16_t localPort,
                                 const Ipv6Bytes& remoteAddress, uint16_t remotePort) {
  DestroyTarget target{AF_INET6, {}, {}};
  std::memcpy(target.local, localAddress.data(), localAddress.size());
  std::memcpy(target.remote, remoteAddress.data(), remoteAddress.size());
  return destroyFirst({target}, localPort, remotePort);
}

}  // namespace s::platform

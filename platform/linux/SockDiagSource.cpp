#include "platform/linux/SockDiagSource.h"

#include <linux/inet_diag.h>
#include <linux/netlink.h>
#include <linux/sock_diag.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace s::platform {

namespace {

// Larger than the biggest datagram the kernel builds for a dump (32 KiB).
constexpr size_t kReceiveBufferSize = 64 * 1024;

struct Request {
  nlmsghdr header;
  inet_diag_req_v2 body;
};

Request makeRequest(uint16_t type, uint16_t flags, uint32_t sequence, uint8_t family,
                    uint8_t protocol) {
  Request request{};
  request.header.nlmsg_len = sizeof(Request);
  request.header.nlmsg_type = type;
  request.header.nlmsg_flags = flags;
  request.header.nlmsg_seq = sequence;
  request.body.sdiag_family = family;
  request.body.sdiag_protocol = protocol;
  request.body.idiag_states = ~0U;
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

// Fills the row from one message; false for rows that are not IPv4.
bool rowFromMessage(const inet_diag_msg& message, Protocol protocol, SocketRow& row) {
  row = SocketRow{};
  if (message.idiag_family == AF_INET) {
    row.localAddress = message.id.idiag_src[0];
    row.remoteAddress = message.id.idiag_dst[0];
  } else {
    uint32_t local[4];
    uint32_t remote[4];
    std::memcpy(local, message.id.idiag_src, sizeof(local));
    std::memcpy(remote, message.id.idiag_dst, sizeof(remote));
    if (!ipv4FromMapped(local, remote, row)) {
      return false;
    }
  }
  row.state = protocol == Protocol::Tcp ? tcpStateFromLinux(message.idiag_state) : 0;
  row.localPort = ntohs(message.id.idiag_sport);
  row.remotePort = ntohs(message.id.idiag_dport);
  row.inode = message.idiag_inode;
  row.uid = message.idiag_uid;
  return true;
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

bool SockDiagSource::read(Protocol protocol, std::vector<SocketRow>& rows) {
  rows.clear();
  if (!open()) {
    return false;
  }
  uint8_t ipProtocol = protocol == Protocol::Tcp ? IPPROTO_TCP : IPPROTO_UDP;
  if (!dump(AF_INET, ipProtocol, rows) || !dump(AF_INET6, ipProtocol, rows)) {
    // Unread parts of a broken dump would confuse the next one.
    close();
    return false;
  }
  return true;
}

bool SockDiagSource::dump(uint8_t family, uint8_t ipProtocol, std::vector<SocketRow>& rows) {
  uint32_t sequence = ++sequence_;
  Request request =
      makeRequest(SOCK_DIAG_BY_FAMILY, NLM_F_REQUEST | NLM_F_DUMP, sequence, family, ipProtocol);
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
      SocketRow row;
      if (rowFromMessage(*static_cast<const inet_diag_msg*>(NLMSG_DATA(header)), protocol, row)) {
        rows.push_back(row);
      }
    }
  }
}

bool SockDiagSource::destroyTcp(uint32_t localAddress, uint16_t localPort, uint32_t remoteAddress,
                                uint16_t remotePort) {
  int fd = openDiagSocket();
  if (fd < 0) {
    return false;
  }
  // A connection accepted on a dual-stack socket lives in the IPv6 table under its mapped
  // addresses; try it there when the IPv4 table does not know it.
  bool destroyed = false;
  int error = ENOENT;
  for (uint8_t family : {static_cast<uint8_t>(AF_INET), static_cast<uint8_t>(AF_INET6)}) {
    Request request = makeRequest(SOCK_DESTROY, NLM_F_REQUEST | NLM_F_ACK, 1, family, IPPROTO_TCP);
    request.body.id.idiag_sport = htons(localPort);
    request.body.id.idiag_dport = htons(remotePort);
    request.body.id.idiag_cookie[0] = INET_DIAG_NOCOOKIE;
    request.body.id.idiag_cookie[1] = INET_DIAG_NOCOOKIE;
    if (family == AF_INET) {
      request.body.id.idiag_src[0] = localAddress;
      request.body.id.idiag_dst[0] = remoteAddress;
    } else {
      request.body.id.idiag_src[2] = htonl(0xFFFF);
      request.body.id.idiag_src[3] = localAddress;
      request.body.id.idiag_dst[2] = htonl(0xFFFF);
      request.body.id.idiag_dst[3] = remoteAddress;
    }
    if (!sendRequest(fd, request)) {
      error = errno;
      break;
    }
    alignas(nlmsghdr) uint8_t reply[1024];
    ssize_t got = receive(fd, reply, sizeof(reply));
    if (got < static_cast<ssize_t>(NLMSG_LENGTH(sizeof(nlmsgerr)))) {
      error = got < 0 ? errno : EIO;
      break;
    }
    const auto* header = reinterpret_cast<const nlmsghdr*>(reply);
    if (header->nlmsg_type != NLMSG_ERROR) {
      error = EIO;
      break;
    }
    const auto* answer = static_cast<const nlmsgerr*>(NLMSG_DATA(header));
    if (answer->error == 0) {
      destroyed = true;
      break;
    }
    error = -answer->error;
    if (error != ENOENT) {
      break;
    }
  }
  ::close(fd);
  if (!destroyed) {
    errno = error;
  }
  return destroyed;
}

}  // namespace s::platform

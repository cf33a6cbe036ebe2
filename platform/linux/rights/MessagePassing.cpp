#include "platform/linux/rights/MessagePassing.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace s::platform {

ssize_t sendMessage(int socket, const void* bytes, size_t size, int fd) {
  iovec part{const_cast<void*>(bytes), size};
  msghdr message{};
  message.msg_iov = &part;
  message.msg_iovlen = 1;
  alignas(cmsghdr) uint8_t control[CMSG_SPACE(sizeof(int))] = {};
  if (fd >= 0) {
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = SOL_SOCKET;
    header->cmsg_type = SCM_RIGHTS;
    header->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(header), &fd, sizeof fd);
  }
  ssize_t sent = 0;
  while ((sent = sendmsg(socket, &message, MSG_NOSIGNAL)) < 0 && errno == EINTR) {
  }
  return sent;
}

ssize_t receiveMessage(int socket, void* bytes, size_t size, UniqueFd& fd, int& flags) {
  iovec part{bytes, size};
  // Room for a few, so that extra descriptors arrive to be closed rather than leak a flag.
  alignas(cmsghdr) uint8_t control[CMSG_SPACE(4 * sizeof(int))];
  msghdr message{};
  message.msg_iov = &part;
  message.msg_iovlen = 1;
  message.msg_control = control;
  message.msg_controllen = sizeof control;
  ssize_t got = 0;
  while ((got = recvmsg(socket, &message, MSG_CMSG_CLOEXEC)) < 0 && errno == EINTR) {
  }
  flags = message.msg_flags;
  fd.reset();
  if (got < 0) {
    return got;
  }
  for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr;
       header = CMSG_NXTHDR(&message, header)) {
    if (header->cmsg_level != SOL_SOCKET || header->cmsg_type != SCM_RIGHTS) {
      continue;
    }
    const size_t count = (header->cmsg_len - CMSG_LEN(0)) / sizeof(int);
    for (size_t i = 0; i < count; ++i) {
      int received = -1;
      std::memcpy(&received, CMSG_DATA(header) + i * sizeof(int), sizeof received);
      if (!fd.valid()) {
        fd.reset(received);
      } else {
        UniqueFd extra(received);
      }
    }
  }
  return got;
}

}  // namespace s::platform

#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/linux/capture/NetnsPair.h"

namespace s::platform {

// A socket of namespace `ns` bound to address:port (port 0: any), or -1.
inline int socketIn(const std::string& ns, int type, const char* address, uint16_t port) {
  NetnsEntry entry(ns);
  if (!entry.entered()) {
    return -1;
  }
  int fd = socket(AF_INET, type | SOCK_CLOEXEC, 0);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(port);
  local.sin_addr.s_addr = inet_addr(address);
  if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

inline sockaddr_in endpoint(const char* address, uint16_t port) {
  sockaddr_in where{};
  where.sin_family = AF_INET;
  where.sin_port = htons(port);
  where.sin_addr.s_addr = inet_addr(address);
  return where;
}

inline uint16_t localPort(int fd) {
  sockaddr_in local{};
  socklen_t size = sizeof local;
  getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size);
  return ntohs(local.sin_port);
}

// The namespace's own count of IPv4 octets received and sent, headers included (IpExt).
struct IpOctets {
  uint64_t in = 0;
  uint64_t out = 0;
};
inline IpOctets ipOctets(const std::string& ns) {
  NetnsEntry entry(ns);
  std::ifstream file("/proc/thread-self/net/netstat");
  std::string names;
  std::string values;
  IpOctets octets;
  while (std::getline(file, names) && std::getline(file, values)) {
    if (names.rfind("IpExt:", 0) != 0) {
      continue;
    }
    std::istringstream n(names);
    std::istringstream v(values);
    std::string name;
    std::string value;
    while (n >> name && v >> value) {
      if (name == "InOctets") {
        octets.in = std::stoull(value);
      } else if (name == "OutOctets") {
        octets.out = std::stoull(value);
      }
    }
  }
  return octets;
}

}  // namespace s::platform

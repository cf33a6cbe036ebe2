#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/linux/IpAddress.h"
#include "platform/linux/capture/NetnsPair.h"

namespace s::platform {

// An IPv4 or IPv6 address text as an address; the unspecified IPv4 address for anything else.
inline IpAddress ipAddress(const char* text) {
  in6_addr ipv6{};
  if (inet_pton(AF_INET6, text, &ipv6) == 1) {
    return IpAddress::v6(ipv6.s6_addr);
  }
  return IpAddress::v4(inet_addr(text));
}

inline std::string addressText(const IpAddress& address) {
  char text[INET6_ADDRSTRLEN] = {};
  inet_ntop(address.family == IpFamily::V4 ? AF_INET : AF_INET6, address.bytes.data(), text,
            sizeof text);
  return text;
}

// A socket of namespace `ns` bound to an IPv6 address and port (port 0: any), or -1.
inline int socketIn6(const std::string& ns, int type, const char* address, uint16_t port) {
  NetnsEntry entry(ns);
  if (!entry.entered()) {
    return -1;
  }
  int fd = socket(AF_INET6, type | SOCK_CLOEXEC, 0);
  sockaddr_in6 local{};
  local.sin6_family = AF_INET6;
  local.sin6_port = htons(port);
  inet_pton(AF_INET6, address, &local.sin6_addr);
  if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

inline sockaddr_in6 endpoint6(const char* address, uint16_t port) {
  sockaddr_in6 where{};
  where.sin6_family = AF_INET6;
  where.sin6_port = htons(port);
  inet_pton(AF_INET6, address, &where.sin6_addr);
  return where;
}

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
  sockaddr_storage local{};
  socklen_t size = sizeof local;
  getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size);
  // The port sits at the same place in both families' addresses.
  return ntohs(reinterpret_cast<sockaddr_in*>(&local)->sin_port);
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

// The namespace's own count of IPv6 octets received and sent, headers included (snmp6).
inline IpOctets ip6Octets(const std::string& ns) {
  NetnsEntry entry(ns);
  std::ifstream file("/proc/thread-self/net/snmp6");
  std::string name;
  uint64_t value = 0;
  IpOctets octets;
  while (file >> name >> value) {
    if (name == "Ip6InOctets") {
      octets.in = value;
    } else if (name == "Ip6OutOctets") {
      octets.out = value;
    }
  }
  return octets;
}

// Waits, at most six seconds, until the namespace's IPv6 counters have not moved for a second:
// the links' first multicast reports are over.
inline bool ip6Quiet(const std::string& ns) {
  IpOctets last = ip6Octets(ns);
  int still = 0;
  for (int i = 0; i < 120 && still < 20; ++i) {
    usleep(50'000);
    IpOctets now = ip6Octets(ns);
    still = now.in == last.in && now.out == last.out ? still + 1 : 0;
    last = now;
  }
  return still >= 20;
}

}  // namespace s::platform

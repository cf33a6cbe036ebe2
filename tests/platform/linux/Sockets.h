#pragma once

// Real sockets, network namespaces and child processes for the platform tests.

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/linux/SocketRow.h"

namespace s::platform::test {

// An owned file descriptor.
class Fd {
 public:
  Fd() = default;
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() { reset(); }
  Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  Fd& operator=(Fd&& other) noexcept;
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;

  int get() const { return fd_; }
  void reset();

 private:
  int fd_ = -1;
};

uint32_t ipv4(const char* dotted);  // network byte order
uint16_t localPort(int fd);

Ipv6Bytes ipv6(const char* text);

Fd tcpListener(const char* address, uint16_t port = 0);
// A listener on [::] that takes IPv4 connections too.
Fd dualStackListener();
// An IPv6 socket bound to `address` and `port` with IPV6_V6ONLY as given; a listener for TCP.
Fd ipv6Socket(int type, const char* address, bool v6Only, uint16_t port = 0);
Fd tcpConnect(const char* address, uint16_t port);
Fd tcpConnect6(const char* address, uint16_t port);
Fd tcpAccept(int listener);
Fd udpSocket(const char* address, uint16_t port = 0);

// The rows of `rows` whose local or remote port is `port`, sorted.
std::vector<SocketRow> rowsWithPort(const std::vector<SocketRow>& rows, uint16_t port);
const SocketRow* findRow(const std::vector<SocketRow>& rows, uint32_t localAddress,
                         uint16_t localPort);
// The first row of an IPv6 or dual-stack socket with this local endpoint.
const SocketRow* findRow6(const std::vector<SocketRow>& rows, const Ipv6Bytes& localAddress,
                          uint16_t localPort);

// Runs a program with arguments (no shell); its exit status, -1 when it could not run.
int run(const std::vector<std::string>& argv);

// A network namespace with a name unique to this test run, deleted with the object.
class Netns {
 public:
  Netns();
  ~Netns();
  Netns(const Netns&) = delete;
  Netns& operator=(const Netns&) = delete;

  bool ok() const { return ok_; }
  const std::string& name() const { return name_; }
  // Runs `ip -n <name> <args...>`; true on success.
  bool ip(const std::vector<std::string>& args) const;
  // Moves the calling (single-threaded) process into the namespace.
  bool enter() const;

 private:
  std::string name_;
  bool ok_ = false;
};

// Runs `body` in a forked child and gives back the rows it writes with `sendRows`.
// The child's exit status goes to `status`.
std::vector<SocketRow> rowsFromChild(const std::function<void(int out)>& body, int& status);
void sendRows(int out, const std::vector<SocketRow>& rows);

// Drops the calling process to nobody/nogroup without capabilities, as a desktop user runs.
bool becomeNobody();

}  // namespace s::platform::test

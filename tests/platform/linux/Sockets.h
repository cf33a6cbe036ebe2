#pragma once

// Real sockets, network namespaces and child processes for the platform tests.

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
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

// Other processes' sockets may share a port number with this process's, even a local address
// and port (connections to different remotes): rows are found by inode or by every endpoint.
uint64_t inodeOf(int fd);
// The one row with this inode; null when there is none, or more than one.
const SocketRow* rowWithInode(const std::vector<SocketRow>& rows, uint64_t inode);
const SocketRow* rowOf(const std::vector<SocketRow>& rows, const Fd& socket);
// The rows of these sockets, in the order of `rows`.
std::vector<SocketRow> rowsOf(const std::vector<SocketRow>& rows,
                              std::initializer_list<const Fd*> sockets);
// The IPv4 row with these four endpoint fields (0 for a listener's remote), for rows that have
// no inode, such as TIME_WAIT.
const SocketRow* rowWithEndpoints(const std::vector<SocketRow>& rows, uint32_t localAddress,
                                  uint16_t localPort, uint32_t remoteAddress, uint16_t remotePort);

// A socket's endpoints as the kernel's tables give them: an IPv4 connection of an IPv6 socket
// (its addresses IPv4-mapped) as IPv4, the remote of an unconnected socket as the unspecified
// address and port 0.
struct Endpoints {
  bool ipv6 = false;
  uint32_t local = 0;
  uint32_t remote = 0;
  Ipv6Bytes local6{};
  Ipv6Bytes remote6{};
  uint16_t localPort = 0;
  uint16_t remotePort = 0;
};
Endpoints endpointsOf(int fd);

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

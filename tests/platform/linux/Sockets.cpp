#include "tests/platform/linux/Sockets.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <sched.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <tuple>

extern char** environ;

namespace s::platform::test {

Fd& Fd::operator=(Fd&& other) noexcept {
  if (this != &other) {
    reset();
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

void Fd::reset() {
  if (fd_ >= 0) {
    close(fd_);
    fd_ = -1;
  }
}

uint32_t ipv4(const char* dotted) {
  in_addr address{};
  inet_pton(AF_INET, dotted, &address);
  return address.s_addr;
}

uint16_t localPort(int fd) {
  sockaddr_storage address{};
  socklen_t length = sizeof(address);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  if (address.ss_family == AF_INET6) {
    return ntohs(reinterpret_cast<sockaddr_in6*>(&address)->sin6_port);
  }
  return ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port);
}

namespace {

sockaddr_in endpoint(const char* address, uint16_t port) {
  sockaddr_in result{};
  result.sin_family = AF_INET;
  result.sin_port = htons(port);
  result.sin_addr.s_addr = ipv4(address);
  return result;
}

Fd bound(int type, const char* address, uint16_t port) {
  Fd fd(socket(AF_INET, type | SOCK_CLOEXEC, 0));
  int one = 1;
  setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
  sockaddr_in at = endpoint(address, port);
  if (bind(fd.get(), reinterpret_cast<sockaddr*>(&at), sizeof(at)) != 0) {
    return Fd();
  }
  return fd;
}

}  // namespace

Fd tcpListener(const char* address, uint16_t port) {
  Fd fd = bound(SOCK_STREAM, address, port);
  if (fd.get() >= 0 && listen(fd.get(), 64) != 0) {
    return Fd();
  }
  return fd;
}

Fd dualStackListener() {
  Fd fd(socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0));
  int zero = 0;
  setsockopt(fd.get(), IPPROTO_IPV6, IPV6_V6ONLY, &zero, sizeof(zero));
  sockaddr_in6 any{};
  any.sin6_family = AF_INET6;
  any.sin6_addr = in6addr_any;
  if (bind(fd.get(), reinterpret_cast<sockaddr*>(&any), sizeof(any)) != 0 ||
      listen(fd.get(), 16) != 0) {
    return Fd();
  }
  return fd;
}

Ipv6Bytes ipv6(const char* text) {
  Ipv6Bytes bytes{};
  inet_pton(AF_INET6, text, bytes.data());
  return bytes;
}

Fd ipv6Socket(int type, const char* address, bool v6Only, uint16_t port) {
  Fd fd(socket(AF_INET6, type | SOCK_CLOEXEC, 0));
  int only = v6Only ? 1 : 0;
  setsockopt(fd.get(), IPPROTO_IPV6, IPV6_V6ONLY, &only, sizeof(only));
  sockaddr_in6 at{};
  at.sin6_family = AF_INET6;
  at.sin6_port = htons(port);
  inet_pton(AF_INET6, address, &at.sin6_addr);
  if (bind(fd.get(), reinterpret_cast<sockaddr*>(&at), sizeof(at)) != 0 ||
      (type == SOCK_STREAM && listen(fd.get(), 16) != 0)) {
    return Fd();
  }
  return fd;
}

Fd tcpConnect6(const char* address, uint16_t port) {
  Fd fd(socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in6 to{};
  to.sin6_family = AF_INET6;
  to.sin6_port = htons(port);
  inet_pton(AF_INET6, address, &to.sin6_addr);
  if (connect(fd.get(), reinterpret_cast<sockaddr*>(&to), sizeof(to)) != 0) {
    return Fd();
  }
  return fd;
}

Fd tcpConnect(const char* address, uint16_t port) {
  Fd fd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in to = endpoint(address, port);
  if (connect(fd.get(), reinterpret_cast<sockaddr*>(&to), sizeof(to)) != 0) {
    return Fd();
  }
  return fd;
}

Fd tcpAccept(int listener) {
  return Fd(accept4(listener, nullptr, nullptr, SOCK_CLOEXEC));
}

Fd udpSocket(const char* address, uint16_t port) {
  return bound(SOCK_DGRAM, address, port);
}

uint64_t inodeOf(int fd) {
  struct stat file {};
  return fstat(fd, &file) == 0 ? file.st_ino : 0;
}

const SocketRow* rowWithInode(const std::vector<SocketRow>& rows, uint64_t inode) {
  const SocketRow* found = nullptr;
  for (const SocketRow& row : rows) {
    if (inode != 0 && row.inode == inode) {
      if (found != nullptr) {
        return nullptr;
      }
      found = &row;
    }
  }
  return found;
}

const SocketRow* rowOf(const std::vector<SocketRow>& rows, const Fd& socket) {
  return rowWithInode(rows, inodeOf(socket.get()));
}

std::vector<SocketRow> rowsOf(const std::vector<SocketRow>& rows,
                              std::initializer_list<const Fd*> sockets) {
  std::vector<uint64_t> inodes;
  for (const Fd* socket : sockets) {
    inodes.push_back(inodeOf(socket->get()));
  }
  std::vector<SocketRow> found;
  for (const SocketRow& row : rows) {
    if (row.inode != 0 && std::find(inodes.begin(), inodes.end(), row.inode) != inodes.end()) {
      found.push_back(row);
    }
  }
  return found;
}

const SocketRow* rowWithEndpoints(const std::vector<SocketRow>& rows, uint32_t localAddress,
                                  uint16_t localPort, uint32_t remoteAddress, uint16_t remotePort) {
  for (const SocketRow& row : rows) {
    if (row.family == SocketFamily::Ipv4 && row.localAddress == localAddress &&
        row.localPort == localPort && row.remoteAddress == remoteAddress &&
        row.remotePort == remotePort) {
      return &row;
    }
  }
  return nullptr;
}

namespace {

// One side of a socket into `ipv6`, `word`, `bytes` and `port`.
void takeAddress(const sockaddr_storage& address, bool& ipv6, uint32_t& word, Ipv6Bytes& bytes,
                 uint16_t& port) {
  if (address.ss_family == AF_INET) {
    const auto& ipv4 = reinterpret_cast<const sockaddr_in&>(address);
    word = ipv4.sin_addr.s_addr;
    port = ntohs(ipv4.sin_port);
    return;
  }
  if (address.ss_family != AF_INET6) {
    return;
  }
  const auto& in6 = reinterpret_cast<const sockaddr_in6&>(address);
  port = ntohs(in6.sin6_port);
  if (IN6_IS_ADDR_V4MAPPED(&in6.sin6_addr)) {
    std::memcpy(&word, in6.sin6_addr.s6_addr + 12, sizeof word);
    return;
  }
  ipv6 = true;
  std::memcpy(bytes.data(), in6.sin6_addr.s6_addr, bytes.size());
}

}  // namespace

Endpoints endpointsOf(int fd) {
  Endpoints endpoints;
  sockaddr_storage local{};
  socklen_t length = sizeof local;
  getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length);
  takeAddress(local, endpoints.ipv6, endpoints.local, endpoints.local6, endpoints.localPort);
  sockaddr_storage remote{};
  length = sizeof remote;
  if (getpeername(fd, reinterpret_cast<sockaddr*>(&remote), &length) == 0) {
    bool remoteIpv6 = false;
    takeAddress(remote, remoteIpv6, endpoints.remote, endpoints.remote6, endpoints.remotePort);
  }
  return endpoints;
}

int run(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const std::string& arg : argv) {
    args.push_back(const_cast<char*>(arg.c_str()));
  }
  args.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) {
    return -1;
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
    return -1;
  }
  return WEXITSTATUS(status);
}

Netns::Netns() {
  static std::atomic<int> counter{0};
  name_ = "nvtest-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
  ok_ = run({"ip", "netns", "add", name_}) == 0;
}

Netns::~Netns() {
  if (ok_) {
    run({"ip", "netns", "delete", name_});
  }
}

bool Netns::ip(const std::vector<std::string>& args) const {
  std::vector<std::string> argv = {"ip", "-n", name_};
  argv.insert(argv.end(), args.begin(), args.end());
  return run(argv) == 0;
}

bool Netns::enter() const {
  std::string path = "/run/netns/" + name_;
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return false;
  }
  bool entered = setns(fd, CLONE_NEWNET) == 0;
  close(fd);
  return entered;
}

void sendRows(int out, const std::vector<SocketRow>& rows) {
  const auto* bytes = reinterpret_cast<const char*>(rows.data());
  size_t left = rows.size() * sizeof(SocketRow);
  while (left > 0) {
    ssize_t written = write(out, bytes, left);
    if (written <= 0) {
      return;
    }
    bytes += written;
    left -= static_cast<size_t>(written);
  }
}

std::vector<SocketRow> rowsFromChild(const std::function<void(int out)>& body, int& status) {
  std::vector<SocketRow> rows;
  status = -1;
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) {
    return rows;
  }
  pid_t child = fork();
  if (child == 0) {
    // Sockets the parent holds must not count as the child's.
    int out = pipeFds[1];
    close_range(3, out - 1, 0);
    close_range(out + 1, ~0U, 0);
    body(out);
    _exit(0);
  }
  close(pipeFds[1]);
  std::vector<char> bytes;
  char chunk[4096];
  ssize_t got = 0;
  while ((got = read(pipeFds[0], chunk, sizeof(chunk))) > 0) {
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  close(pipeFds[0]);
  if (child > 0) {
    waitpid(child, &status, 0);
  }
  rows.resize(bytes.size() / sizeof(SocketRow));
  if (!rows.empty()) {
    std::memcpy(rows.data(), bytes.data(), rows.size() * sizeof(SocketRow));
  }
  return rows;
}

bool becomeNobody() {
  constexpr uid_t kNobody = 65534;
  if (setgroups(0, nullptr) != 0 || setresgid(kNobody, kNobody, kNobody) != 0 ||
      setresuid(kNobody, kNobody, kNobody) != 0) {
    return false;
  }
  // Changing credentials made the process undumpable, which hides its own /proc/self/fd as
  // exec of an ordinary program would not.
  return prctl(PR_SET_DUMPABLE, 1) == 0;
}

}  // namespace s::platform::test

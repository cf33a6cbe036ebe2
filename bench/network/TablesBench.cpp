// Times one reading of the TCP table at 1,000, 10,000 and 50,000 established loopback
// connections: the bare netlink dump, a reading with owner pids from a fresh owner map, a
// steady-state reading (nothing changed since the previous one), a reading after one new
// connection, the /proc fallback, and `ss -tanp` / `ss -tan` over the same sockets. Each count
// runs twice: all connections IPv4, then half of them IPv6 (to ::1), and the steady reading
// once more with the kernel's TCP byte counters asked for.
//
// Usage: bench_tables [connections...]

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "bench/support/Measure.h"
#include "platform/linux/SockDiagSource.h"
#include "platform/linux/SocketTable.h"

extern char** environ;

namespace {

using bench::median;
using bench::medianMs;
using bench::runQuietly;
using bench::timeMs;
using s::platform::ByteCounts;
using s::platform::Protocol;
using s::platform::SockDiagSource;
using s::platform::SocketRow;
using s::platform::SocketTable;

constexpr uint16_t kFirstPort = 21000;

enum class Families { Ipv4, HalfIpv6 };

struct Holder {
  pid_t pid = -1;
  int control = -1;  // closing it ends the holder
  sockaddr_in listener{};
  sockaddr_in6 listener6{};
};

sockaddr_in listenerAddress(int index) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(kFirstPort + index));
  // 127.0.0.2, 127.0.0.3, ...: each holder its own destination, so ephemeral ports can repeat.
  address.sin_addr.s_addr = htonl(0x7F000002U + static_cast<uint32_t>(index));
  return address;
}

sockaddr_in6 listenerAddress6(int index) {
  sockaddr_in6 address{};
  address.sin6_family = AF_INET6;
  address.sin6_port = htons(static_cast<uint16_t>(kFirstPort + index));
  address.sin6_addr = in6addr_loopback;
  return address;
}

int listenOn(const sockaddr* address, socklen_t length) {
  int listener = socket(address->sa_family, SOCK_STREAM, 0);
  int one = 1;
  setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
  if (bind(listener, address, length) != 0 || listen(listener, 4096) != 0) {
    std::perror("listen");
    _exit(1);
  }
  return listener;
}

void abortiveClose(int fd) {
  // A reset on close leaves no TIME_WAIT rows behind the run.
  linger off{1, 0};
  setsockopt(fd, SOL_SOCKET, SO_LINGER, &off, sizeof(off));
}

int connectTo(const sockaddr* address, socklen_t length) {
  int fd = socket(address->sa_family, SOCK_STREAM, 0);
  if (fd < 0 || connect(fd, address, length) != 0) {
    std::perror("connect");
    std::exit(1);
  }
  abortiveClose(fd);
  return fd;
}

int connectTo(const sockaddr_in& address) {
  return connectTo(reinterpret_cast<const sockaddr*>(&address), sizeof(address));
}

// A child that holds `count` established connections (both ends) until its control pipe closes;
// with HalfIpv6 every second one is an IPv6 connection.
Holder startHolder(int index, int count, Families families) {
  Holder holder;
  holder.listener = listenerAddress(index);
  holder.listener6 = listenerAddress6(index);
  int ready[2];
  int control[2];
  if (pipe(ready) != 0 || pipe(control) != 0) {
    std::perror("pipe");
    std::exit(1);
  }
  holder.pid = fork();
  if (holder.pid == 0) {
    close(ready[0]);
    close(control[1]);
    int listener =
        listenOn(reinterpret_cast<const sockaddr*>(&holder.listener), sizeof(holder.listener));
    int listener6 = families == Families::HalfIpv6
                        ? listenOn(reinterpret_cast<const sockaddr*>(&holder.listener6),
                                   sizeof(holder.listener6))
                        : -1;
    for (int i = 0; i < count; ++i) {
      bool ipv6 = listener6 >= 0 && i % 2 == 1;
      if (ipv6) {
        connectTo(reinterpret_cast<const sockaddr*>(&holder.listener6), sizeof(holder.listener6));
      } else {
        connectTo(holder.listener);
      }
      int accepted = accept(ipv6 ? listener6 : listener, nullptr, nullptr);
      if (accepted < 0) {
        std::perror("accept");
        _exit(1);
      }
      abortiveClose(accepted);
    }
    char byte = 1;
    if (write(ready[1], &byte, 1) != 1) {
      _exit(1);
    }
    // Takes one new connection per byte read; ends when the pipe closes.
    while (read(control[0], &byte, 1) > 0) {
      int accepted = accept(listener, nullptr, nullptr);
      if (accepted >= 0) {
        abortiveClose(accepted);
      }
    }
    _exit(0);
  }
  close(ready[1]);
  close(control[0]);
  char byte = 0;
  if (read(ready[0], &byte, 1) != 1) {
    std::fprintf(stderr, "holder %d failed\n", index);
    std::exit(1);
  }
  close(ready[0]);
  holder.control = control[1];
  return holder;
}

void stopHolders(std::vector<Holder>& holders) {
  for (Holder& holder : holders) {
    close(holder.control);
  }
  for (Holder& holder : holders) {
    int status = 0;
    waitpid(holder.pid, &status, 0);
  }
  holders.clear();
}

size_t countEstablished(const std::vector<SocketRow>& rows, int holders, size_t& ipv6) {
  size_t count = 0;
  ipv6 = 0;
  for (const SocketRow& row : rows) {
    uint16_t low = kFirstPort;
    auto high = static_cast<uint16_t>(kFirstPort + holders);
    bool ours = (row.localPort >= low && row.localPort < high) ||
                (row.remotePort >= low && row.remotePort < high);
    if (ours && row.state == s::platform::kTcpEstablished) {
      ++count;
      ipv6 += row.family == s::platform::SocketFamily::Ipv6 ? 1 : 0;
    }
  }
  return count;
}

void measure(int connections, int perHolder, Families families) {
  std::vector<Holder> holders;
  for (int left = connections, index = 0; left > 0; ++index) {
    int count = std::min(left, perHolder);
    holders.push_back(startHolder(index, count, families));
    left -= count;
  }
  auto holderCount = static_cast<int>(holders.size());
  std::vector<SocketRow> rows;
  SockDiagSource diag;
  if (!diag.read(Protocol::Tcp, ByteCounts::Without, rows)) {
    std::perror("sock_diag");
    std::exit(1);
  }
  size_t ipv6 = 0;
  size_t established = countEstablished(rows, holderCount, ipv6);
  int runs = connections >= 50000 ? 7 : 11;

  // Interleaved, so that load from elsewhere on the machine falls on every figure alike.
  SocketTable table;
  table.read(Protocol::Tcp, rows);
  SocketTable fallback(SocketTable::Source::ProcNet);
  fallback.read(Protocol::Tcp, rows);
  std::vector<double> dumps;
  std::vector<double> steadies;
  std::vector<double> churns;
  std::vector<double> procSteadies;
  std::vector<double> countedSteadies;
  std::vector<int> extra;
  for (int i = 0; i < runs; ++i) {
    dumps.push_back(timeMs([&] { diag.read(Protocol::Tcp, ByteCounts::Without, rows); }));
    steadies.push_back(timeMs([&] { table.read(Protocol::Tcp, rows); }));
    countedSteadies.push_back(
        timeMs([&] { table.read(Protocol::Tcp, rows, ByteCounts::FromTcpInfo); }));
    procSteadies.push_back(timeMs([&] { fallback.read(Protocol::Tcp, rows); }));
    // One new connection: its two sockets are the only inodes the owner map has not seen.
    Holder& holder = holders[i % holders.size()];
    extra.push_back(connectTo(holder.listener));
    char byte = 1;
    if (write(holder.control, &byte, 1) != 1) {
      std::exit(1);
    }
    usleep(2000);  // lets the holder accept
    churns.push_back(timeMs([&] { table.read(Protocol::Tcp, rows); }));
  }
  double dump = median(dumps);
  double steady = median(steadies);
  double churn = median(churns);
  double procSteady = median(procSteadies);
  double countedSteady = median(countedSteadies);
  std::vector<double> colds;
  for (int i = 0; i < (runs + 1) / 2; ++i) {
    colds.push_back(timeMs([&] {
      SocketTable fresh;
      fresh.read(Protocol::Tcp, rows);
    }));
  }
  double cold = median(colds);
  int ssRuns = connections >= 50000 ? 3 : 5;
  double ssPids = medianMs(ssRuns, [] { runQuietly("ss", "-tanp"); });
  double ssBare = medianMs(ssRuns, [] { runQuietly("ss", "-tan"); });

  std::printf(
      "%6d connections (%zu established sockets, %zu of them IPv6, %d holder processes), "
      "median ms:\n"
      "  bare dump %.2f | with owners: fresh map %.2f, steady %.2f, after one new connection "
      "%.2f, steady with tcp_info %.2f | /proc steady %.2f | ss -tanp %.1f, ss -tan %.1f\n"
      "  steady/dump %.2fx, fresh/dump %.2fx, tcp_info/steady %.2fx, ss -tanp/steady %.1fx, "
      "ss -tan/steady %.1fx\n",
      connections, established, ipv6, holderCount, dump, cold, steady, churn, countedSteady,
      procSteady, ssPids, ssBare, steady / dump, cold / dump, countedSteady / steady,
      ssPids / steady, ssBare / steady);
  std::fflush(stdout);
  for (int fd : extra) {
    close(fd);
  }
  stopHolders(holders);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> counts = bench::connectionCounts(argc, argv);
  // Two descriptors per connection in one holder; as many holders as the file limit asks for.
  rlimit limit{};
  getrlimit(RLIMIT_NOFILE, &limit);
  rlimit wanted{limit.rlim_max, limit.rlim_max};
  if (limit.rlim_max < 200000) {
    wanted = {200000, 200000};  // works with CAP_SYS_RESOURCE
  }
  if (setrlimit(RLIMIT_NOFILE, &wanted) != 0) {
    setrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
  }
  getrlimit(RLIMIT_NOFILE, &limit);
  int perHolder = static_cast<int>(std::min<rlim_t>((limit.rlim_cur - 64) / 2, 50000));
  for (int connections : counts) {
    measure(connections, perHolder, Families::Ipv4);
    measure(connections, perHolder, Families::HalfIpv6);
  }
  return 0;
}

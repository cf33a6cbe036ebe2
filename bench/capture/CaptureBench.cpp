// Sends UDP datagrams across a veth pair between two namespaces of its own at increasing rates,
// over IPv4 and then over IPv6, and prints for each rate how many the address capture counted
// and the CPU time it used, next to the same figures for tcpdump on the same interface and the
// ratio of their CPU time per datagram. Needs root (namespaces, capture).
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/linux/capture/AddressCapture.h"
#include "platform/linux/capture/ErrnoName.h"
#include "platform/linux/capture/NetnsPair.h"

namespace {

using s::platform::NetnsEntry;
using s::platform::NetnsPair;
using Clock = std::chrono::steady_clock;

constexpr uint16_t kSourcePort = 9001;
constexpr uint16_t kDestinationPort = 9002;
constexpr size_t kPayload = 64;
constexpr double kSeconds = 1.0;  // per paced rate
constexpr size_t kBatch = 32;
constexpr const char* kSinkHardware = "02:00:00:00:00:99";

// One family's run: the watched address, the sink and the sender's socket.
struct Route {
  const char* name;
  int family;
  const char* local;
  const char* sink;
  int sender = -1;
};

// Counts under a binary flow key, as the accounting does on its hot path.
class CountingSink final : public s::platform::IDatagramSink {
 public:
  void onDatagram(bool sent, const s::platform::IpDatagram& d) override {
    const s::platform::IpAddress& remote = sent ? d.destination : d.source;
    uint64_t words[2];
    std::memcpy(words, remote.bytes.data(), sizeof words);
    uint64_t key = (static_cast<uint64_t>(d.sourcePort) << 48) ^
                   (static_cast<uint64_t>(d.destinationPort) << 32) ^ words[0] ^
                   (words[1] * 0x9E3779B97F4A7C15ULL) ^ (static_cast<uint64_t>(d.protocol) << 24);
    bytes_[key] += d.length;
    if (sent && d.protocol == s::platform::kProtocolUdp && d.sourcePort == kSourcePort) {
      counted_.fetch_add(1, std::memory_order_relaxed);
    }
  }
  void onDrops(uint32_t dropped) override { drops_.fetch_add(dropped); }
  uint64_t counted() const { return counted_.load(std::memory_order_relaxed); }
  uint64_t drops() const { return drops_.load(); }

 private:
  std::unordered_map<uint64_t, uint64_t> bytes_;
  std::atomic<uint64_t> counted_{0};
  std::atomic<uint64_t> drops_{0};
};

// An address and port of either family as a socket address.
socklen_t socketAddress(int family, const char* address, uint16_t port, sockaddr_storage& out) {
  out = {};
  if (family == AF_INET6) {
    auto* ipv6 = reinterpret_cast<sockaddr_in6*>(&out);
    ipv6->sin6_family = AF_INET6;
    ipv6->sin6_port = htons(port);
    inet_pton(AF_INET6, address, &ipv6->sin6_addr);
    return sizeof(sockaddr_in6);
  }
  auto* ipv4 = reinterpret_cast<sockaddr_in*>(&out);
  ipv4->sin_family = AF_INET;
  ipv4->sin_port = htons(port);
  ipv4->sin_addr.s_addr = inet_addr(address);
  return sizeof(sockaddr_in);
}

int socketIn(const std::string& ns, int family, const char* address, uint16_t port) {
  NetnsEntry entry(ns);
  int fd = socket(family, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_storage local{};
  socklen_t length = socketAddress(family, address, port, local);
  if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&local), length) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// Sends `count` datagrams at `perSecond` (0: as fast as possible); gives how many went out and
// sets the seconds it took.
uint64_t sendAt(const Route& route, uint64_t count, double perSecond, double& seconds) {
  sockaddr_storage to{};
  socklen_t toLength = socketAddress(route.family, route.sink, kDestinationPort, to);
  const int fd = route.sender;
  char payload[kPayload] = {};
  iovec vector{payload, sizeof payload};
  mmsghdr messages[kBatch] = {};
  for (mmsghdr& message : messages) {
    message.msg_hdr.msg_name = &to;
    message.msg_hdr.msg_namelen = toLength;
    message.msg_hdr.msg_iov = &vector;
    message.msg_hdr.msg_iovlen = 1;
  }
  uint64_t sent = 0;
  auto start = Clock::now();
  while (sent < count) {
    if (perSecond > 0) {
      auto due = start + std::chrono::duration_cast<Clock::duration>(
                             std::chrono::duration<double>(static_cast<double>(sent) / perSecond));
      // A sleep costs more than a batch at high rates: sleep only when well ahead.
      if (due - Clock::now() > std::chrono::microseconds(500)) {
        std::this_thread::sleep_until(due);
      }
    }
    unsigned batch = static_cast<unsigned>(std::min<uint64_t>(kBatch, count - sent));
    int done = sendmmsg(fd, messages, batch, 0);
    if (done <= 0) {
      break;
    }
    sent += static_cast<uint64_t>(done);
  }
  seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return sent;
}

double threadSeconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

struct Figures {
  uint64_t sent = 0;
  uint64_t counted = 0;
  uint64_t dropped = 0;
  double cpuSeconds = 0;
  double sendSeconds = 0;
};

// Waits until `counter` has stopped growing for 100 ms, at most 3 s.
template <class Counter>
void settle(Counter counter) {
  uint64_t last = counter();
  auto quietSince = Clock::now();
  for (auto start = Clock::now(); Clock::now() - start < std::chrono::seconds(3);) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    uint64_t now = counter();
    if (now != last) {
      last = now;
      quietSince = Clock::now();
    } else if (Clock::now() - quietSince > std::chrono::milliseconds(100)) {
      return;
    }
  }
}

Figures measureCapture(const NetnsPair& pair, const Route& route, uint64_t count,
                       double perSecond) {
  CountingSink sink;
  s::platform::AddressCapture capture;
  int error = 0;
  std::atomic<bool> opened{false};
  std::thread thread([&] {
    NetnsEntry entry(pair.nameA());
    s::platform::IpAddress local;
    if (route.family == AF_INET6) {
      in6_addr ipv6{};
      inet_pton(AF_INET6, route.local, &ipv6);
      local = s::platform::IpAddress::v6(ipv6.s6_addr);
    } else {
      local = s::platform::IpAddress::v4(inet_addr(route.local));
    }
    error = capture.open(local);
    opened = true;
    if (error == 0) {
      capture.run(sink);
    }
  });
  while (!opened) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  Figures figures;
  if (error != 0) {
    std::printf("capture failed: %s%s\n", capture.failedStep(),
                s::platform::errnoName(error).c_str());
    thread.join();
    return figures;
  }
  clockid_t clock{};
  pthread_getcpuclockid(thread.native_handle(), &clock);
  double cpuBefore = threadSeconds(clock);
  figures.sent = sendAt(route, count, perSecond, figures.sendSeconds);
  settle([&] { return sink.counted(); });
  figures.cpuSeconds = threadSeconds(clock) - cpuBefore;
  figures.counted = sink.counted();
  capture.stop();
  thread.join();
  figures.dropped = sink.drops();
  return figures;
}

// Runs `ip netns exec A tcpdump -i <veth> -w /dev/null` around the same traffic.
Figures measureTcpdump(const NetnsPair& pair, const Route& route, uint64_t count,
                       double perSecond) {
  Figures figures;
  char log[] = "/tmp/nvcap-tcpdump-XXXXXX";
  int logFd = mkstemp(log);
  if (logFd < 0) {
    return figures;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, logFd, STDERR_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<std::string> args = {"ip",      "netns",    "exec", pair.nameA(),
                                   "tcpdump", "-n",       "-i",   NetnsPair::kInterfaceA,
                                   "-w",      "/dev/null"};
  std::vector<char*> argv;
  for (std::string& arg : args) {
    argv.push_back(arg.data());
  }
  argv.push_back(nullptr);
  pid_t child = 0;
  int spawned = posix_spawnp(&child, "ip", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(logFd);
  if (spawned != 0) {
    std::printf("tcpdump could not be started\n");
    unlink(log);
    return figures;
  }
  auto readLog = [&log] {
    std::ifstream file(log);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  };
  for (int i = 0; i < 500 && readLog().find("listening on") == std::string::npos; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  figures.sent = sendAt(route, count, perSecond, figures.sendSeconds);
  // tcpdump hands over a partly filled block after its one-second timeout.
  std::this_thread::sleep_for(std::chrono::milliseconds(1300));
  kill(child, SIGINT);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  figures.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  std::string text = readLog();
  unlink(log);
  auto number = [&text](const char* what) -> uint64_t {
    size_t at = text.find(what);
    if (at == std::string::npos) {
      return 0;
    }
    size_t start = text.rfind('\n', at);
    start = start == std::string::npos ? 0 : start + 1;
    return std::strtoull(text.c_str() + start, nullptr, 10);
  };
  figures.counted = number(" packets captured");
  figures.dropped = number(" packets dropped by kernel");
  return figures;
}

double achievedRate(const Figures& f) {
  return f.sendSeconds > 0 ? static_cast<double>(f.sent) / f.sendSeconds : 0;
}

// CPU seconds per million datagrams counted.
double cpuPerMillion(const Figures& f) {
  return f.counted > 0 ? f.cpuSeconds * 1e6 / static_cast<double>(f.counted) : 0;
}

void print(const char* who, double rate, const Figures& f) {
  char asked[16] = "max";
  if (rate > 0) {
    std::snprintf(asked, sizeof asked, "%.0f", rate);
  }
  std::printf("%-8s %8s %10.0f %10llu %10llu %8llu %12.3f %8.1f%%\n", who, asked, achievedRate(f),
              static_cast<unsigned long long>(f.sent), static_cast<unsigned long long>(f.counted),
              static_cast<unsigned long long>(f.dropped), cpuPerMillion(f),
              f.sendSeconds > 0 ? 100.0 * f.cpuSeconds / f.sendSeconds : 0);
}

void measureRoute(const NetnsPair& pair, const Route& route) {
  std::printf("%s: UDP datagrams of %zu bytes from %s to %s for about %.0f s per rate\n",
              route.name, kPayload, route.local, route.sink, kSeconds);
  std::printf("%-8s %8s %10s %10s %10s %8s %12s %9s\n", "capture", "asked/s", "reached/s", "sent",
              "counted", "dropped", "cpu s/Mdgram", "cpu/core");
  const double rates[] = {50'000, 100'000, 200'000, 400'000, 800'000, 0};
  double lossless = 0;
  for (double rate : rates) {
    uint64_t count = rate > 0 ? static_cast<uint64_t>(rate * kSeconds) : 1'000'000;
    Figures ours = measureCapture(pair, route, count, rate);
    print("netvigil", rate, ours);
    Figures theirs = measureTcpdump(pair, route, count, rate);
    print("tcpdump", rate, theirs);
    if (cpuPerMillion(ours) > 0) {
      std::printf("%-8s cpu per datagram, tcpdump/netvigil %.1fx\n", "",
                  cpuPerMillion(theirs) / cpuPerMillion(ours));
    }
    if (ours.sent > 0 && ours.counted == ours.sent && achievedRate(ours) > lossless) {
      lossless = achievedRate(ours);
    }
  }
  std::printf("%s: highest rate counted without loss: %.0f datagrams/s\n\n", route.name, lossless);
}

}  // namespace

int main() {
  if (geteuid() != 0) {
    std::printf("bench_capture: needs root for its network namespaces; skipped\n");
    return 0;
  }
  NetnsPair pair;
  if (!pair.create(NetnsPair::Ipv6::Quiet)) {
    std::printf("bench_capture: the namespaces could not be made\n");
    return 1;
  }
  // The datagrams go to an address of the veth subnet that a static neighbour entry sends to a
  // hardware address nobody has: the far end drops the frames before IP, so the far namespace
  // costs the sender little and the sender reaches higher rates.
  Route routes[] = {{"IPv4", AF_INET, NetnsPair::kAddressA, "10.213.0.9"},
                    {"IPv6", AF_INET6, NetnsPair::kAddress6A, "fd00:213::9"}};
  for (Route& route : routes) {
    route.sender = socketIn(pair.nameA(), route.family, route.local, kSourcePort);
    if (route.sender < 0 || !pair.ipA({"neigh", "add", route.sink, "lladdr", kSinkHardware, "dev",
                                       NetnsPair::kInterfaceA})) {
      std::printf("bench_capture: sockets could not be made\n");
      return 1;
    }
  }
  for (const Route& route : routes) {
    measureRoute(pair, route);
    close(route.sender);
  }
  return 0;
}

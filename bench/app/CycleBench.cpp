// Times the refresh cycle over scripted snapshots of 1,000, 10,000 and 50,000 connections:
// a steady cycle (nothing changed), a cycle with 1 % of the connections replaced, and the heap
// allocations of a steady cycle. Then the same cycle over the kernel's tables with 10,000
// loopback connections of this process, against `ss -tanp` over the same sockets.
//
// Usage: bench_refresh_cycle [connections...]

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
#include <functional>
#include <vector>

#include "app/ConnectionColumns.h"
#include "app/IMonitorSources.h"
#include "app/IMonitorView.h"
#include "app/NetvigilEx.h"
#include "app/SystemSources.h"
#include "bench/support/CountingAllocator.h"
#include "bench/support/Measure.h"
#include "gui/listbox2/ListBox2.h"

namespace {

namespace net = s::system::network;
using bench::Clock;
using bench::median;
using bench::msSince;
using bench::runQuietly;
using net::TcpConnection;
using net::UdpConnection;

// Two lists without a window; operations run on the calling thread.
class QuietView final : public s::app::IMonitorView {
 public:
  QuietView() {
    s::app::addCurrentColumns(*current_, nullptr);
    s::app::addLogColumns(*log_, nullptr);
  }
  s::gui::IListBox2& currentList() override { return *current_; }
  s::gui::IListBox2& logList() override { return *log_; }
  bool isLogVisible() override { return true; }
  bool isIconized() override { return false; }
  void setConnectionsText(std::u16string_view /*text*/) override {}
  void setReceivedRateText(std::u16string_view /*text*/) override {}
  void setSentRateText(std::u16string_view /*text*/) override {}
  void addTrafficSample(int64_t /*receivedAndSent*/, int64_t /*sent*/) override {}
  bool runSync(Operation op, void* block) override {
    op(block);
    return true;
  }

 private:
  s::PoolPtr<s::gui::win::ListBox2> current_ = s::gui::win::ListBox2::make();
  s::PoolPtr<s::gui::win::ListBox2> log_ = s::gui::win::ListBox2::make();
};

// Records the time and the allocations of every cycle: from the end of one wait to the start
// of the next.
class CycleMeter {
 public:
  // Room for every figure up front: the meter's own allocations would count.
  CycleMeter() {
    times.reserve(1000);
    allocations.reserve(1000);
  }

  // Called at the start of each wait; `after` runs between cycles, outside the figures.
  void cycleEnded(const std::function<void(int cycle)>& after) {
    if (started_) {
      times.push_back(msSince(start_));
      allocations.push_back(bench::allocationCount() - allocationsAtStart_);
    }
    after(cycle_++);
    started_ = true;
    allocationsAtStart_ = bench::allocationCount();
    start_ = Clock::now();
  }
  void begin() {
    allocationsAtStart_ = bench::allocationCount();
    start_ = Clock::now();
    started_ = true;
  }

  std::vector<double> times;
  std::vector<uint64_t> allocations;

 private:
  int cycle_ = 0;
  bool started_ = false;
  uint64_t allocationsAtStart_ = 0;
  Clock::time_point start_;
};

struct TcpTemplate {
  int32_t pid;
  uint32_t local;
  int32_t localPort;
  uint32_t remote;
  int32_t remotePort;
};

// Snapshots copied from templates into pooled records; an empty traffic table per cycle. After
// its warm-up the source itself allocates nothing per cycle.
class ScriptedSources final : public s::app::IMonitorSources {
 public:
  ScriptedSources(int connections) {
    int udp = connections / 5;
    for (int i = 0; i < connections - udp; ++i) {
      tcp_.push_back({1000 + i % 50, htonl(0x0A000005), 10000 + i % 50000,
                      htonl(0x0A010000U + static_cast<uint32_t>(i / 50000)), 80 + i % 7});
    }
    for (int i = 0; i < udp; ++i) {
      udp_.push_back(10000 + i);
    }
  }

  s::PoolPtr<net::win::TcpConnectionSet> readTcpConnections() override {
    auto set =
        net::win::TcpConnectionSet::make(false, &TcpConnection::pool(), &TcpConnection::pool());
    for (const TcpTemplate& t : tcp_) {
      s::PoolPtr<TcpConnection> record = TcpConnection::make();
      record->setState(TcpConnection::kEstablished);
      record->setLocalAddress(t.local);
      record->setLocalPort(t.localPort);
      record->setRemoteAddress(t.remote);
      record->setRemotePort(t.remotePort);
      record->setPid(t.pid);
      record->setStartTime(clock_);
      set->add(std::move(record));
    }
    return set;
  }
  s::PoolPtr<net::win::UdpConnectionSet> readUdpConnections() override {
    auto set =
        net::win::UdpConnectionSet::make(false, &UdpConnection::pool(), &UdpConnection::pool());
    for (int32_t port : udp_) {
      s::PoolPtr<UdpConnection> record = UdpConnection::make();
      record->setLocalAddress(htonl(0x0A000005));
      record->setLocalPort(port);
      record->setPid(2000);
      record->setStartTime(clock_);
      set->add(std::move(record));
    }
    return set;
  }
  s::PoolPtr<net::IPacketLogger> takePacketLogger() override { return nullptr; }
  uint32_t interfaceCount() override { return 2; }
  int64_t interfaceReceivedRate(uint32_t i) override { return 1000 * (i + 1); }
  int64_t interfaceSentRate(uint32_t i) override { return 300 * (i + 1); }
  s::time::TimeMs now() override { return clock_; }
  void sleep(uint32_t ms) override {
    clock_ += ms;
    meter.cycleEnded(after);
  }

  // Replaces every hundredth TCP connection by a new one.
  void replaceOnePercent() {
    for (size_t i = churn_ % 100; i < tcp_.size(); i += 100) {
      tcp_[i].remotePort += 1000;
    }
    ++churn_;
  }

  CycleMeter meter;
  std::function<void(int cycle)> after;

 private:
  std::vector<TcpTemplate> tcp_;
  std::vector<int32_t> udp_;
  s::time::TimeMs clock_ = 1700000000000;
  size_t churn_ = 0;
};

void measureScripted(int connections) {
  constexpr int kWarmUp = 4;
  constexpr int kSteady = 60;
  constexpr int kChurn = 1;
  QuietView view;
  ScriptedSources sources(connections);
  s::PoolPtr<s::app::NetvigilEx> controller = s::app::NetvigilEx::make();
  controller->setView(&view);
  controller->setSources(&sources);
  controller->refreshPeriodMs = 1;
  sources.after = [&](int cycle) {
    // Cycles [kWarmUp, kWarmUp + kSteady) are steady; the next kChurn replace 1 % each.
    if (cycle >= kWarmUp + kSteady - 1) {
      sources.replaceOnePercent();
    }
    if (cycle + 1 == kWarmUp + kSteady + kChurn) {
      controller->stopRequested = true;
    }
  };
  controller->run();
  const auto& times = sources.meter.times;
  const auto& allocations = sources.meter.allocations;
  // times[i] is cycle i + 1.
  std::vector<double> steady(times.begin() + kWarmUp - 1, times.begin() + kWarmUp + kSteady - 1);
  std::vector<double> churn(times.begin() + kWarmUp + kSteady - 1, times.end());
  uint64_t steadyMost = *std::max_element(allocations.begin() + kWarmUp - 1,
                                          allocations.begin() + kWarmUp + kSteady - 1);
  uint64_t churnMedian = 0;
  {
    std::vector<uint64_t> c(allocations.begin() + kWarmUp + kSteady - 1, allocations.end());
    std::sort(c.begin(), c.end());
    churnMedian = c[c.size() / 2];
  }
  std::printf(
      "%6d scripted connections: steady cycle %.3f ms, 1%% replaced %.3f ms (median); "
      "allocations per steady cycle (most) %llu, per 1%% cycle (median) %llu\n",
      connections, median(steady), median(churn), static_cast<unsigned long long>(steadyMost),
      static_cast<unsigned long long>(churnMedian));
  std::fflush(stdout);
}

// The kernel's tables through the system's source, with the cycle's clock and no real sleep.
class KernelSources final : public s::app::SystemSources {
 public:
  KernelSources() : SystemSources(false) {}
  void sleep(uint32_t /*ms*/) override { meter.cycleEnded(after); }

  CycleMeter meter;
  std::function<void(int cycle)> after;
};

void closeAbortively(int fd) {
  // No TIME_WAIT rows behind the run.
  linger off{1, 0};
  setsockopt(fd, SOL_SOCKET, SO_LINGER, &off, sizeof(off));
  close(fd);
}

void measureKernel(int pairs) {
  rlimit limit{};
  getrlimit(RLIMIT_NOFILE, &limit);
  auto wanted = 2 * static_cast<rlim_t>(pairs) + 256;
  if (limit.rlim_cur < wanted) {
    rlimit raised{std::max(wanted, limit.rlim_max), std::max(wanted, limit.rlim_max)};
    if (setrlimit(RLIMIT_NOFILE, &raised) != 0) {
      std::printf("kernel source: cannot raise the file limit to %llu\n",
                  static_cast<unsigned long long>(wanted));
      return;
    }
  }
  int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(0x7F000002);
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      listen(listener, 4096) != 0) {
    std::perror("listen");
    return;
  }
  socklen_t length = sizeof(address);
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  std::vector<int> fds;
  for (int i = 0; i < pairs; ++i) {
    int client = socket(AF_INET, SOCK_STREAM, 0);
    if (client < 0 ||
        connect(client, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
      std::perror("connect");
      break;
    }
    fds.push_back(client);
    int server = accept(listener, nullptr, nullptr);
    if (server >= 0) {
      fds.push_back(server);
    }
  }

  constexpr int kWarmUp = 2;
  constexpr int kSteady = 7;
  QuietView view;
  KernelSources sources;
  s::PoolPtr<s::app::NetvigilEx> controller = s::app::NetvigilEx::make();
  controller->setView(&view);
  controller->setSources(&sources);
  controller->refreshPeriodMs = 1;
  sources.after = [&](int cycle) {
    if (cycle + 1 == kWarmUp + kSteady) {
      controller->stopRequested = true;
    }
  };
  controller->run();
  std::vector<double> steady(sources.meter.times.begin() + kWarmUp - 1, sources.meter.times.end());
  double cycle = median(steady);
  std::vector<double> ss;
  for (int i = 0; i < 5; ++i) {
    auto start = Clock::now();
    runQuietly("ss", "-tanp");
    ss.push_back(msSince(start));
  }
  double ssMs = median(ss);
  std::printf(
      "kernel source, %zu loopback connections of this process (no capture): steady cycle %.2f "
      "ms, ss -tanp %.2f ms, cycle/ss %.2fx\n",
      fds.size(), cycle, ssMs, cycle / ssMs);
  std::fflush(stdout);
  for (int fd : fds) {
    closeAbortively(fd);
  }
  close(listener);
}

}  // namespace

int main(int argc, char** argv) {
  for (int connections : bench::connectionCounts(argc, argv)) {
    measureScripted(connections);
  }
  measureKernel(5000);
  return 0;
}

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/ConnectionColumns.h"
#include "app/IMonitorSources.h"
#include "app/IMonitorView.h"
#include "app/NetvigilEx.h"
#include "app/SystemSources.h"
#include "framework/str/Format.h"
#include "framework/time/TimeText.h"
#include "gui/listbox2/ListBox2.h"
#include "gui/listbox2/Record.h"
#include "network/HostNames.h"
#include "tests/platform/linux/Sockets.h"

namespace s::app {
namespace {

namespace net = system::network;
namespace lb = gui::listbox2;
using net::TcpConnection;
using net::UdpConnection;

constexpr time::TimeMs kStart = 1700000000000;
constexpr int32_t kSynSent = 3;
constexpr int32_t kEstablished = 5;
constexpr int32_t kCloseWait = 8;
constexpr int32_t kLastAck = 10;
constexpr int32_t kTimeWait = 11;

uint32_t address(const char* dotted) {
  return platform::test::ipv4(dotted);
}

struct Tcp {
  int32_t pid;
  const char* local;  // dotted IPv4, or IPv6 text
  int32_t localPort;
  const char* remote;
  int32_t remotePort;
  int32_t state = kEstablished;
  // The kernel's totals, when the reading carries them.
  int64_t kernelReceived = -1;
  int64_t kernelSent = -1;
};

bool isIpv6(const char* text) {
  return std::strchr(text, ':') != nullptr;
}

platform::Ipv6Bytes address6(const char* text) {
  platform::Ipv6Bytes bytes{};
  inet_pton(AF_INET6, text, bytes.data());
  return bytes;
}

struct Udp {
  int32_t pid;
  const char* local;
  int32_t localPort;
};

struct Bytes {
  std::u16string key;
  uint64_t received;
  uint64_t sent;
};

struct Snapshot {
  std::vector<Tcp> tcp;
  std::vector<Udp> udp;
  std::vector<Bytes> traffic;
};

using Row = std::vector<std::u16string>;
using Rows = std::vector<Row>;

Rows rowsOf(gui::IListBox2& list) {
  Rows rows;
  for (uint32_t i = 0; i < list.recordCount(); ++i) {
    lb::Record* record = list.getRecord(i);
    Row row;
    for (uint32_t c = 0; c < record->cellCount(); ++c) {
      row.emplace_back(record->cell(c)->text());
    }
    rows.push_back(row);
  }
  return rows;
}

// The rows whose Local Port cell is `port`.
Rows withPort(const Rows& rows, int32_t port) {
  Rows found;
  std::u16string text;
  for (char c : std::to_string(port)) {
    text.push_back(static_cast<char16_t>(c));
  }
  for (const Row& row : rows) {
    if (row[current::kLocalPort] == text) {
      found.push_back(row);
    }
  }
  return found;
}

std::u16string u16(const std::string& text) {
  return {text.begin(), text.end()};
}

std::u16string byteSize(int64_t bytes) {
  PoolPtr<str::StrBuffer> text(str::formatByteSize(bytes));
  return std::u16string(text->view());
}

std::u16string dateTime(time::TimeMs ms) {
  PoolPtr<str::StrBuffer> text(time::formatDateTime(ms));
  return std::u16string(text->view());
}

class SortCounter final : public gui::events::IEventListener {
 public:
  void onEvent(IObject* /*source*/, int32_t /*code*/) override { ++sorts; }
  int sorts = 0;
};

// Two real lists without a window: every operation runs on the calling thread.
class RecordingView final : public IMonitorView {
 public:
  RecordingView() {
    addCurrentColumns(*current_, nullptr);
    addLogColumns(*log_, nullptr);
    current_->addSortedListener(&currentSorts);
    log_->addSortedListener(&logSorts);
  }

  gui::IListBox2& currentList() override { return *current_; }
  gui::IListBox2& logList() override { return *log_; }
  bool isLogVisible() override { return logVisible; }
  bool isIconized() override { return iconized; }
  void setConnectionsText(std::u16string_view text) override {
    connectionsTexts.emplace_back(text);
  }
  void setReceivedRateText(std::u16string_view text) override { receivedTexts.emplace_back(text); }
  void setSentRateText(std::u16string_view text) override { sentTexts.emplace_back(text); }
  void addTrafficSample(int64_t receivedAndSent, int64_t sent) override {
    samples.emplace_back(receivedAndSent, sent);
  }
  bool runSync(Operation op, void* block) override {
    ++viewOperations;
    op(block);
    return true;
  }

  bool logVisible = true;
  bool iconized = false;
  std::vector<std::u16string> connectionsTexts;
  std::vector<std::u16string> receivedTexts;
  std::vector<std::u16string> sentTexts;
  std::vector<std::pair<int64_t, int64_t>> samples;
  int viewOperations = 0;
  SortCounter currentSorts;
  SortCounter logSorts;

 private:
  PoolPtr<gui::win::ListBox2> current_ = gui::win::ListBox2::make();
  PoolPtr<gui::win::ListBox2> log_ = gui::win::ListBox2::make();
};

// Hands out the traffic of the snapshot being read.
class ScriptedLogger final : public net::IPacketLogger {
 public:
  void start() override { ++starts; }
  void stop(bool /*wait*/) override {}
  int32_t getKeyLimit() const override { return keyLimit; }
  void setKeyLimit(int32_t limit) override { keyLimit = limit; }
  void clearTrafficTable() override {}
  void lockTraffic() override {}
  void unlockTraffic() override {}
  PoolPtr<net::TrafficTable> takeTrafficTable() override {
    PoolPtr<net::TrafficTable> table = net::takeEmptyTrafficTable();
    if (next != nullptr) {
      for (const Bytes& bytes : *next) {
        // The table frees its counts, as the capture's tables do.
        auto* counts =
            static_cast<net::TrafficCount*>(std::malloc(sizeof(net::TrafficCount)));  // NOLINT
        *counts = {bytes.received, bytes.sent};
        table->put(str::StrBuffer::of(bytes.key), counts);
      }
    }
    return table;
  }
  void logPacket(bool /*sent*/, std::u16string_view /*protocol*/,
                 std::u16string_view /*localAddress*/, int32_t /*localPort*/,
                 std::u16string_view /*remoteAddress*/, int32_t /*remotePort*/,
                 uint32_t /*byteCount*/) override {}
  void release() override { ++releases; }
  void reset() override {}
  std::u16string_view className() const override { return u"ScriptedLogger"; }
  ObjectPtr newInstance() const override { return ObjectPtr(nullptr); }

  const std::vector<Bytes>* next = nullptr;
  int32_t keyLimit = 0;
  int starts = 0;
  int releases = 0;
};

// Runs the real cycle on the test's thread over prepared snapshots (cycle i reads snapshot i,
// the last one from then on) and records both lists after every cycle.
class Harness final : public IMonitorSources {
 public:
  Harness() {
    controller->setView(&view);
    // The addresses' answers known up front: one arriving from the resolver mid-test would
    // change its cell and sort that cycle.
    for (std::u16string_view address : {u"10.0.0.9", u"10.0.0.5", u"127.0.0.1"}) {
      PoolPtr<str::StrBuffer> known(net::resolveHostNameNow(address));
    }
  }
  ~Harness() override { controller.reset(); }
  Harness(const Harness&) = delete;
  Harness& operator=(const Harness&) = delete;

  PoolPtr<net::win::TcpConnectionSet> readTcpConnections() override {
    cycle_ = cycleStarted_++;
    after_ = false;
    auto set =
        net::win::TcpConnectionSet::make(false, &TcpConnection::pool(), &TcpConnection::pool());
    for (const Tcp& tcp : snapshot().tcp) {
      PoolPtr<TcpConnection> record = TcpConnection::make();
      record->setState(tcp.state);
      if (isIpv6(tcp.local)) {
        record->setLocalAddress6(platform::SocketFamily::Ipv6, address6(tcp.local));
        record->setLocalPort(tcp.localPort);
        record->setRemoteAddress6(address6(tcp.remote));
      } else {
        record->setLocalAddress(address(tcp.local));
        record->setLocalPort(tcp.localPort);
        record->setRemoteAddress(address(tcp.remote));
      }
      record->setRemotePort(tcp.remotePort);
      record->setPid(tcp.pid);
      record->setStartTime(clock);
      if (tcp.kernelReceived >= 0) {
        record->useKernelTotals(true, static_cast<uint64_t>(tcp.kernelReceived),
                                static_cast<uint64_t>(tcp.kernelSent));
      }
      set->add(std::move(record));
    }
    logger.next = &snapshot().traffic;
    return set;
  }
  PoolPtr<net::win::UdpConnectionSet> readUdpConnections() override {
    auto set =
        net::win::UdpConnectionSet::make(false, &UdpConnection::pool(), &UdpConnection::pool());
    for (const Udp& udp : snapshot().udp) {
      PoolPtr<UdpConnection> record = UdpConnection::make();
      record->setLocalAddress(address(udp.local));
      record->setLocalPort(udp.localPort);
      record->setPid(udp.pid);
      record->setStartTime(clock);
      set->add(std::move(record));
    }
    return set;
  }
  // The logger is the harness's own: what the cycle gives back is counted, not recycled.
  PoolPtr<net::IPacketLogger> takePacketLogger() override {
    return capture ? PoolPtr<net::IPacketLogger>(&logger) : nullptr;
  }
  uint32_t interfaceCount() override { return static_cast<uint32_t>(rates.size()); }
  int64_t interfaceReceivedRate(uint32_t i) override { return rates[i].first; }
  int64_t interfaceSentRate(uint32_t i) override { return rates[i].second; }
  time::TimeMs now() override { return clock; }
  // The first slice after a cycle records the lists, then runs what is due before the next.
  void sleep(uint32_t ms) override {
    slices.push_back(ms);
    clock += ms;
    if (!after_) {
      after_ = true;
      current.push_back(rowsOf(view.currentList()));
      log.push_back(rowsOf(view.logList()));
      currentSorts.push_back(view.currentSorts.sorts);
      auto step = before.find(cycle_ + 1);
      if (step != before.end()) {
        step->second();
      }
      if (cycle_ + 1 == cycles_) {
        controller->stopRequested = true;
      }
    }
    if (onSlice) {
      onSlice(slices.size());
    }
  }

  // `cycles` cycles; before[i] runs just before cycle i.
  void run(int cycles) {
    cycles_ = cycles;
    auto step = before.find(0);
    if (step != before.end()) {
      step->second();
    }
    controller->setSources(this);
    controller->run();
  }

  PoolPtr<NetvigilEx> controller = NetvigilEx::make();
  RecordingView view;
  ScriptedLogger logger;
  bool capture = true;
  std::vector<Snapshot> snapshots;
  std::vector<std::pair<int64_t, int64_t>> rates;
  std::map<int, std::function<void()>> before;
  std::function<void(size_t slices)> onSlice;
  time::TimeMs clock = kStart;
  std::vector<uint32_t> slices;
  // After each cycle.
  std::vector<Rows> current;
  std::vector<Rows> log;
  std::vector<int> currentSorts;

 private:
  const Snapshot& snapshot() const {
    return snapshots[std::min<size_t>(cycle_, snapshots.size() - 1)];
  }

  int cycle_ = 0;
  int cycleStarted_ = 0;
  int cycles_ = 0;
  bool after_ = true;
};

TEST(CycleTest, AddsContinuesAndEndsConnections) {
  // Pids of no process: the neutral process name.
  Harness h;
  Tcp a{4194300, "10.0.0.5", 4000, "10.0.0.9", 80};
  Tcp b{4194301, "10.0.0.5", 4001, "10.0.0.9", 443};
  Tcp c{4194302, "10.0.0.5", 4002, "10.0.0.9", 22};
  Udp u{4194303, "10.0.0.5", 53};
  h.snapshots = {{{a, b}, {u}, {}},
                 {{a, c},
                  {u},
                  {{u"TCP,10.0.0.5:4000-10.0.0.9:80", 1536, 100},
                   {u"UDP,10.0.0.5:53", 0, 2048},
                   {u"TCP,10.0.0.5:4001-10.0.0.9:443", 10, 20}}}};
  h.run(2);

  ASSERT_EQ(h.current[0].size(), 3u);
  Rows first = withPort(h.current[0], 4000);
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0], (Row{u"TCP", u"ESTABLISHED", u"4194300", u"UnKnown", u"10.0.0.5", u"4000",
                           u"10.0.0.9", u"80", u"0 B", u"0 B", u"0s", u""}));
  EXPECT_EQ(withPort(h.current[0], 53)[0][current::kRemotePort], u"");

  // a continues with its first start time and its new bytes; b ends; c is new.
  ASSERT_EQ(h.current[1].size(), 3u);
  Row a1 = withPort(h.current[1], 4000).at(0);
  EXPECT_EQ(a1[current::kReceived], u"1.50 KB");
  EXPECT_EQ(a1[current::kSent], u"100 B");
  EXPECT_EQ(a1[current::kDuration], u"1s");
  EXPECT_EQ(withPort(h.current[1], 4002).at(0)[current::kDuration], u"0s");
  EXPECT_EQ(withPort(h.current[1], 53).at(0)[current::kSent], u"2.00 KB");
  EXPECT_TRUE(withPort(h.current[1], 4001).empty());

  // b's last bytes count into its log row, with its fixed duration and both times.
  ASSERT_EQ(h.log[1].size(), 1u);
  EXPECT_EQ(h.log[1][0],
            (Row{u"TCP", dateTime(kStart + 1000), u"4194301", u"UnKnown", u"10.0.0.5", u"4001",
                 u"10.0.0.9", u"443", u"10 B", u"20 B", u"1s", dateTime(kStart), u""}));
  EXPECT_EQ(h.logger.keyLimit, 5000);
  EXPECT_EQ(h.logger.starts, 1);
  EXPECT_EQ(h.logger.releases, 1);
}

// How a state change of one TCP connection shows: its identity counts the remote port only
// while ESTABLISHED.
TEST(CycleTest, StateChangesAcrossEstablishedMakeNewRows) {
  struct Case {
    int32_t from;
    int32_t to;
    bool newRow;
    const char16_t* state;
  };
  const Case cases[] = {
      {kSynSent, kEstablished, true, u"ESTABLISHED"},
      {kEstablished, kTimeWait, true, u"TIME_WAIT"},
      {kCloseWait, kLastAck, false, u"LAST_ACK"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from);
    Harness h;
    h.snapshots = {{{{100, "10.0.0.5", 4000, "10.0.0.9", 80, c.from}}, {}, {}},
                   {{{100, "10.0.0.5", 4000, "10.0.0.9", 80, c.to}}, {}, {}}};
    h.run(2);
    ASSERT_EQ(h.current[1].size(), 1u);
    EXPECT_EQ(h.current[1][0][current::kState], c.state);
    EXPECT_EQ(h.log[1].size(), c.newRow ? 1u : 0u);
    // A new row starts anew; a kept one keeps its age.
    EXPECT_EQ(h.current[1][0][current::kDuration], c.newRow ? u"0s" : u"1s");
    // The changed state is sorted in either way.
    EXPECT_EQ(h.currentSorts[1], 2);
  }
}

TEST(CycleTest, SameSnapshotsChangeNoRowAndSortNothing) {
  Harness h;
  h.snapshots = {{{{100, "10.0.0.5", 4000, "10.0.0.9", 80}}, {{101, "10.0.0.5", 53}}, {}}};
  h.run(3);
  EXPECT_EQ(h.currentSorts, (std::vector<int>{1, 1, 1}));
  EXPECT_EQ(h.current[2].size(), 2u);
  EXPECT_EQ(withPort(h.current[2], 4000)[0][current::kDuration], u"2s");
  EXPECT_TRUE(h.log[2].empty());
  // Only the first cycle changed the counts; only its log step had something to do.
  EXPECT_EQ(h.view.connectionsTexts,
            (std::vector<std::u16string>{u"2 Connections (Tcp: 1, Udp: 1)"}));
  EXPECT_EQ(h.view.viewOperations, 1);  // the log's clearing when the run ends
}

TEST(CycleTest, EmptySnapshotEndsEveryConnectionOfItsProtocol) {
  Harness h;
  h.snapshots = {
      {{{100, "10.0.0.5", 4000, "10.0.0.9", 80}, {100, "10.0.0.5", 4001, "10.0.0.9", 80}},
       {{101, "10.0.0.5", 53}},
       {}},
      {{}, {{101, "10.0.0.5", 53}}, {}},
      {{}, {}, {}}};
  h.run(3);
  EXPECT_EQ(h.current[1].size(), 1u);
  EXPECT_EQ(h.log[1].size(), 2u);
  EXPECT_TRUE(h.current[2].empty());
  ASSERT_EQ(h.log[2].size(), 3u);
  // Latest first: the UDP entry of the last cycle.
  EXPECT_EQ(h.log[2][0][logged::kProtocol], u"UDP");
  EXPECT_EQ(h.view.connectionsTexts,
            (std::vector<std::u16string>{u"3 Connections (Tcp: 2, Udp: 1)",
                                         u"1 Connections (Tcp: 0, Udp: 1)",
                                         u"0 Connections (Tcp: 0, Udp: 0)"}));
}

TEST(CycleTest, ConnectionsTextOnlyWhenCountsChange) {
  Harness h;
  Tcp a{100, "10.0.0.5", 4000, "10.0.0.9", 80};
  Tcp b{100, "10.0.0.5", 4001, "10.0.0.9", 80};
  // Nothing, a, a, then b in place of a: the counts change only once.
  h.snapshots = {{}, {{a}, {}, {}}, {{a}, {}, {}}, {{b}, {}, {}}};
  h.run(4);
  EXPECT_EQ(h.view.connectionsTexts,
            (std::vector<std::u16string>{u"1 Connections (Tcp: 1, Udp: 0)"}));
  EXPECT_EQ(h.log[3].size(), 1u);
}

TEST(CycleTest, HostNameSwitchRendersCurrentRowsOnly) {
  Harness h;
  Tcp a{100, "127.0.0.1", 4000, "10.0.0.9", 80};
  Tcp ended{100, "127.0.0.1", 4001, "10.0.0.9", 81};
  Udp u{100, "127.0.0.1", 53};
  h.snapshots = {{{a, ended}, {u}, {}}, {{a}, {u}, {}}};
  h.before[0] = [&] { h.controller->showHostNames = false; };
  h.before[2] = [&] { h.controller->showHostNames = true; };
  h.before[3] = [&] { h.controller->showHostNames = false; };
  h.run(4);
  EXPECT_EQ(withPort(h.current[1], 4000)[0][current::kLocal], u"127.0.0.1");
  std::u16string named = withPort(h.current[2], 4000)[0][current::kLocal];
  EXPECT_NE(named, u"127.0.0.1");
  EXPECT_FALSE(named.empty());
  EXPECT_EQ(withPort(h.current[2], 53)[0][current::kLocal], named);
  EXPECT_EQ(withPort(h.current[2], 4000)[0][current::kRemote], u"10.0.0.9");
  EXPECT_EQ(withPort(h.current[3], 4000)[0][current::kLocal], u"127.0.0.1");
  EXPECT_EQ(withPort(h.current[3], 53)[0][current::kLocal], u"127.0.0.1");
  // The log row keeps the form it was made with.
  ASSERT_EQ(h.log[3].size(), 1u);
  EXPECT_EQ(h.log[3][0][logged::kLocal], u"127.0.0.1");
  // Re-rendered rows are sorted once in their cycle.
  EXPECT_EQ(h.currentSorts, (std::vector<int>{1, 1, 2, 3}));
  // Loopback traffic is not measured.
  EXPECT_EQ(withPort(h.current[3], 4000)[0][current::kReceived], u"-");
}

// Cycle 0 opens n TCP and n/2 UDP connections, cycle 1 ends them and opens as many again,
// cycle 2 ends those: the entries of each cycle share one end time.
void loggingHarness(Harness& h, int n) {
  auto batch = [n](int base) {
    Snapshot s;
    for (int i = 0; i < n; ++i) {
      s.tcp.push_back({100, "10.0.0.5", base + i, "10.0.0.9", 80});
    }
    for (int i = 0; i < n / 2; ++i) {
      s.udp.push_back({100, "10.0.0.5", base + i});
    }
    return s;
  };
  h.snapshots = {batch(1000), batch(2000), {}};
}

int countWithPrefix(const Rows& rows, const char16_t* protocol, char16_t portDigit) {
  int n = 0;
  for (const Row& row : rows) {
    n += row[logged::kProtocol] == protocol && row[logged::kLocalPort][0] == portDigit ? 1 : 0;
  }
  return n;
}

TEST(CycleTest, Ipv6ConnectionsAreListedCountedAndLogged) {
  Harness h;
  for (std::u16string_view known : {u"2001:db8::5", u"2001:db8::9"}) {
    PoolPtr<str::StrBuffer> answer(net::resolveHostNameNow(known));
  }
  Tcp a{100, "2001:db8::5", 4000, "2001:db8::9", 443};
  h.snapshots = {{{a}, {}, {}},
                 {{a}, {}, {{u"TCP6,[2001:db8::5]:4000-[2001:db8::9]:443", 3000, 700}}},
                 {{}, {}, {}}};
  h.run(3);
  ASSERT_EQ(h.current[1].size(), 1u);
  Row row = h.current[1][0];
  EXPECT_EQ(row[current::kProtocol], u"TCP6");
  EXPECT_EQ(row[current::kLocal], u"2001:db8::5");
  EXPECT_EQ(row[current::kRemote], u"2001:db8::9");
  EXPECT_EQ(row[current::kReceived], u"2.92 KB");
  EXPECT_EQ(row[current::kSent], u"700 B");
  ASSERT_EQ(h.log[2].size(), 1u);
  EXPECT_EQ(h.log[2][0][logged::kProtocol], u"TCP6");
  EXPECT_EQ(h.view.connectionsTexts.front(), u"1 Connections (Tcp: 1, Udp: 0)");
}

TEST(CycleTest, WithoutCaptureTcpRowsFollowTheKernelsTotals) {
  Harness h;
  h.capture = false;
  Tcp first{100, "10.0.0.5", 4000, "10.0.0.9", 80, kEstablished, 1000, 300};
  Tcp later{100, "10.0.0.5", 4000, "10.0.0.9", 80, kEstablished, 5000, 300};
  h.snapshots = {{{first}, {}, {}}, {{first}, {}, {}}, {{later}, {}, {}}};
  h.run(3);
  EXPECT_EQ(h.current[0][0][current::kReceived], u"1000 B");
  EXPECT_EQ(h.current[0][0][current::kSent], u"300 B");
  EXPECT_EQ(h.current[1][0][current::kReceived], u"1000 B");
  EXPECT_EQ(h.current[2][0][current::kReceived], u"4.88 KB");
  EXPECT_EQ(h.current[2][0][current::kSent], u"300 B");
  EXPECT_EQ(h.logger.starts, 0);
  // Counts alone change no order.
  EXPECT_EQ(h.currentSorts, (std::vector<int>{1, 1, 1}));
}

TEST(CycleTest, TrimmingRemovesTheOldestUdpFirstOnEqualTimes) {
  Harness h;
  loggingHarness(h, 50);
  // 150 logged entries, then the limit 100.
  h.before[3] = [&] { h.controller->logLimit = 100; };
  h.run(4);
  ASSERT_EQ(h.log[2].size(), 150u);
  ASSERT_EQ(h.log[3].size(), 99u);
  // Of the 75 oldest, the 25 UDP entries and 26 TCP ones left.
  EXPECT_EQ(countWithPrefix(h.log[3], u"UDP", u'1'), 0);
  EXPECT_EQ(countWithPrefix(h.log[3], u"TCP", u'1'), 24);
  EXPECT_EQ(countWithPrefix(h.log[3], u"TCP", u'2'), 50);
  EXPECT_EQ(countWithPrefix(h.log[3], u"UDP", u'2'), 25);
}

TEST(CycleTest, LogGrowsPastItsLimitByOneCycleThenTrimsBeforeAdding) {
  Harness h;
  auto ports = [](int first, int n) {
    std::vector<Tcp> connections;
    connections.reserve(n);
    for (int i = 0; i < n; ++i) {
      connections.push_back({100, "10.0.0.5", first + i, "10.0.0.9", 80});
    }
    return connections;
  };
  std::vector<Tcp> many = ports(1000, 199);
  std::vector<Tcp> five = ports(3000, 5);
  std::vector<Tcp> one{{100, "10.0.0.5", 5000, "10.0.0.9", 80}};
  h.snapshots = {{many, {}, {}}, {five, {}, {}}, {one, {}, {}}, {{}, {}, {}}};
  h.run(4);
  EXPECT_EQ(h.log[1].size(), 199u);
  EXPECT_EQ(h.log[2].size(), 204u);
  // 204 trimmed to 199, then 1 more.
  EXPECT_EQ(h.log[3].size(), 200u);
  EXPECT_EQ(countWithPrefix(h.log[3], u"TCP", u'3'), 5);
  EXPECT_EQ(countWithPrefix(h.log[3], u"TCP", u'5'), 1);
}

TEST(CycleTest, ClearingEmptiesTheLogBeforeThatCyclesEntries) {
  Harness h;
  loggingHarness(h, 4);
  h.before[2] = [&] { h.controller->clearLogRequested = true; };
  h.run(3);
  EXPECT_EQ(h.log[1].size(), 6u);
  ASSERT_EQ(h.log[2].size(), 6u);
  EXPECT_EQ(countWithPrefix(h.log[2], u"TCP", u'2'), 4);
  EXPECT_EQ(countWithPrefix(h.log[2], u"UDP", u'2'), 2);
  EXPECT_FALSE(h.controller->clearLogRequested);
}

TEST(CycleTest, SuspendedLoggingDropsEndedConnectionsButStillTrims) {
  Harness h;
  loggingHarness(h, 4);
  h.before[2] = [&] {
    h.controller->loggingSuspended = true;
    h.controller->logLimit = 3;
  };
  h.run(3);
  EXPECT_EQ(h.log[1].size(), 6u);
  EXPECT_TRUE(h.current[2].empty());
  // Trimmed to 2; the six that ended in that cycle were not logged.
  EXPECT_EQ(h.log[2].size(), 2u);
  EXPECT_EQ(countWithPrefix(h.log[2], u"TCP", u'1'), 2);
}

TEST(CycleTest, LogIsSortedOnlyWhileVisible) {
  Harness h;
  loggingHarness(h, 2);
  h.before[0] = [&] { h.view.logVisible = false; };
  h.before[2] = [&] { h.view.logVisible = true; };
  h.run(3);
  EXPECT_EQ(h.view.logSorts.sorts, 1);
}

TEST(CycleTest, RatesAreQuietForThreeCyclesThenSumTheInterfaces) {
  Harness h;
  h.snapshots = {{}};
  // Received and sent figures are summed apart: the sent bytes are not taken off the received.
  h.rates = {{1000, 300}, {300, 1000}};
  h.run(4);
  std::vector<std::u16string> zero(3, u"0 B/s");
  std::vector<std::u16string> received = zero;
  received.push_back(byteSize(1300) + u"/s");
  std::vector<std::u16string> sent = zero;
  sent.push_back(u"1.26 KB/s");
  EXPECT_EQ(h.view.receivedTexts, received);
  EXPECT_EQ(h.view.sentTexts, sent);
  EXPECT_EQ(h.view.samples,
            (std::vector<std::pair<int64_t, int64_t>>{{0, 0}, {0, 0}, {0, 0}, {2600, 1300}}));
}

TEST(CycleTest, WaitFollowsThePeriod) {
  struct Case {
    uint32_t period;
    bool iconized;
    std::vector<uint32_t> slices;
  };
  const Case cases[] = {
      {1, false, {100}},
      {0, false, {100}},
      {500, false, {500}},
      {500, true, {500}},
      {1000, false, std::vector<uint32_t>(5, 200)},
      {1000, true, std::vector<uint32_t>(15, 200)},
      {2900, true, std::vector<uint32_t>(15, 200)},
      {5000, true, std::vector<uint32_t>(25, 200)},
      {1100, false, std::vector<uint32_t>(6, 200)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.period);
    Harness h;
    h.snapshots = {{}};
    h.controller->refreshPeriodMs = c.period;
    h.view.iconized = c.iconized;
    h.run(1);
    EXPECT_EQ(h.slices, c.slices);
  }
}

TEST(CycleTest, PeriodChangeEndsALongWaitWithinOneSlice) {
  Harness h;
  h.snapshots = {{}};
  h.controller->refreshPeriodMs = 300000;
  h.onSlice = [&](size_t slices) {
    if (slices == 3) {
      h.controller->refreshPeriodMs = 1000;
      h.controller->wakeRequested = true;
    }
  };
  h.run(2);
  // Three slices of the long wait, then the new period.
  EXPECT_EQ(h.slices, std::vector<uint32_t>(8, 200));
  EXPECT_FALSE(h.controller->wakeRequested);
}

TEST(CycleTest, StopRequestEndsALongWait) {
  Harness h;
  h.snapshots = {{{{100, "10.0.0.5", 4000, "10.0.0.9", 80}}, {}, {}}};
  h.controller->refreshPeriodMs = 300000;
  h.onSlice = [&](size_t slices) {
    if (slices == 2) {
      h.controller->requestStop();
    }
  };
  h.run(1000);
  EXPECT_EQ(h.slices.size(), 2u);
  // The run's end gives the current records back, which takes their rows out.
  EXPECT_EQ(h.view.currentList().recordCount(), 0u);
}

TEST(CycleTest, StopBeforeTheFirstCycleRunsNone) {
  Harness h;
  h.snapshots = {{}};
  h.controller->stopRequested = true;
  h.controller->setSources(&h);
  h.controller->run();
  EXPECT_TRUE(h.slices.empty());
  EXPECT_EQ(h.logger.releases, 1);
}

// The real tables: a loopback connection of this process shows with its pid and, once closed,
// moves to the log.
class SystemHarness final : public SystemSources {
 public:
  void sleep(uint32_t ms) override {
    afterCycle();
    SystemSources::sleep(ms);
  }

  std::function<void()> afterCycle;
};

// The rows of one connection, found by all four endpoint cells: another process's connection
// may share the local address and port with it.
Rows withEndpoints(const Rows& rows, const char* local, int32_t localPort, const char* remote,
                   int32_t remotePort) {
  Rows found;
  for (const Row& row : withPort(rows, localPort)) {
    if (row[current::kLocal] == u16(local) && row[current::kRemote] == u16(remote) &&
        row[current::kRemotePort] == u16(std::to_string(remotePort))) {
      found.push_back(row);
    }
  }
  return found;
}

TEST(CycleTest, ShowsAndLogsARealLoopbackConnection) {
  using platform::test::Fd;
  Fd listener = platform::test::tcpListener("127.0.0.1");
  ASSERT_GE(listener.get(), 0);
  uint16_t port = platform::test::localPort(listener.get());
  Fd client = platform::test::tcpConnect("127.0.0.1", port);
  Fd server = platform::test::tcpAccept(listener.get());
  ASSERT_GE(server.get(), 0);
  uint16_t clientPort = platform::test::localPort(client.get());

  RecordingView view;
  SystemHarness sources;
  PoolPtr<NetvigilEx> controller = NetvigilEx::make();
  controller->setView(&view);
  controller->setSources(&sources);
  controller->refreshPeriodMs = 1;
  controller->showHostNames = false;  // the rows are found by their address cells
  std::u16string pid = u16(std::to_string(getpid()));
  Rows shown;
  Rows logged;
  int cycle = 0;
  sources.afterCycle = [&] {
    ++cycle;
    if (cycle == 2) {
      shown = withEndpoints(rowsOf(view.currentList()), "127.0.0.1", clientPort, "127.0.0.1", port);
      client.reset();
      server.reset();
    }
    if (cycle == 4) {
      logged = withEndpoints(rowsOf(view.logList()), "127.0.0.1", clientPort, "127.0.0.1", port);
      controller->stopRequested = true;
    }
  };
  controller->run();

  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0][current::kProcessId], pid);
  EXPECT_EQ(shown[0][current::kState], u"ESTABLISHED");
  EXPECT_EQ(shown[0][current::kRemotePort], u16(std::to_string(port)));
  EXPECT_FALSE(shown[0][current::kProcessName].empty());
  // Loopback connections are not measured.
  EXPECT_EQ(shown[0][current::kReceived], u"-");
  ASSERT_EQ(logged.size(), 1u);
  EXPECT_EQ(logged[0][logged::kProcessId], pid);
  EXPECT_EQ(logged[0][logged::kRemotePort], u16(std::to_string(port)));
  EXPECT_EQ(view.currentList().recordCount(), 0u);
}

}  // namespace
}  // namespace s::app

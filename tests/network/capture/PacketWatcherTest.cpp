#include "network/capture/PacketWatcher.h"

#include <gtest/gtest.h>
#include <net/if.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "network/capture/CaptureLog.h"
#include "network/capture/WsaInitializer.h"
#include "tests/network/capture/NetnsEnvironment.h"
#include "tests/platform/linux/capture/TestNet.h"
#include "tests/support/Eventually.h"

namespace s::system::network {
namespace {

using platform::NetnsPair;
using s::test::eventually;
using win::PacketWatcher;

struct Report {
  bool sent;
  uint8_t protocol;
  platform::IpAddress local;
  uint16_t localPort;
  platform::IpAddress remote;
  uint16_t remotePort;
  uint32_t bytes;
  bool operator==(const Report&) const = default;
};

struct Collector {
  std::mutex lock;
  std::vector<Report> reports;
  static void callback(bool sent, uint8_t protocol, const platform::IpAddress& local,
                       uint16_t localPort, const platform::IpAddress& remote, uint16_t remotePort,
                       uint32_t bytes, void* context, uint32_t extra) {
    auto* self = static_cast<Collector*>(context);
    EXPECT_EQ(extra, 7U);
    std::scoped_lock guard(self->lock);
    self->reports.push_back({sent, protocol, local, localPort, remote, remotePort, bytes});
  }
  std::vector<Report> copy() {
    std::scoped_lock guard(lock);
    return reports;
  }
};

// The texts of a report list, heading included; releases the list.
std::vector<std::u16string> texts(const PoolPtr<str::StrArray>& list) {
  std::vector<std::u16string> out;
  for (const str::StrBuffer* text : *list) {
    out.emplace_back(text->view());
  }
  return out;
}

bool logHas(std::u16string_view text) {
  for (const std::u16string& line : texts(win::getCaptureReport())) {
    if (line == text) {
      return true;
    }
  }
  return false;
}

class PacketWatcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!haveNamespaces()) {
      GTEST_SKIP() << "network namespaces need root";
    }
  }
};

// Two UDP sockets of an address family, one in each namespace, sending to each other.
struct UdpPair {
  UdpPair(bool ipv6, uint16_t localPort, uint16_t remotePort) : ipv6(ipv6) {
    const char* a = ipv6 ? NetnsPair::kAddress6A : NetnsPair::kAddressA;
    const char* b = ipv6 ? NetnsPair::kAddress6B : NetnsPair::kAddressB;
    int type = SOCK_DGRAM;
    local = ipv6 ? platform::socketIn6(namespaceA(), type, a, localPort)
                 : platform::socketIn(namespaceA(), type, a, localPort);
    remote = ipv6 ? platform::socketIn6(namespaceB(), type, b, remotePort)
                  : platform::socketIn(namespaceB(), type, b, remotePort);
    if (ipv6) {
      toB6 = platform::endpoint6(b, remotePort);
      toA6 = platform::endpoint6(a, localPort);
    } else {
      toB = platform::endpoint(b, remotePort);
      toA = platform::endpoint(a, localPort);
    }
  }
  ~UdpPair() {
    close(local);
    close(remote);
  }
  UdpPair(const UdpPair&) = delete;
  UdpPair& operator=(const UdpPair&) = delete;
  ssize_t send(bool fromLocal, size_t size) const {
    std::string payload(size, 'x');
    const void* to = ipv6 ? static_cast<const void*>(fromLocal ? &toB6 : &toA6)
                          : static_cast<const void*>(fromLocal ? &toB : &toA);
    socklen_t length = ipv6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
    return sendto(fromLocal ? local : remote, payload.data(), size, 0,
                  static_cast<const sockaddr*>(to), length);
  }

  bool ipv6;
  int local = -1;
  int remote = -1;
  sockaddr_in toA{}, toB{};
  sockaddr_in6 toA6{}, toB6{};
};

TEST_F(PacketWatcherTest, ReportsEachDatagramFromTheLocalSideOfEitherFamily) {
  for (bool ipv6 : {false, true}) {
    const char* a = ipv6 ? NetnsPair::kAddress6A : NetnsPair::kAddressA;
    const char* b = ipv6 ? NetnsPair::kAddress6B : NetnsPair::kAddressB;
    Collector collector;
    PoolPtr<PacketWatcher> watcher = PacketWatcher::make();
    watcher->setAddressText(std::u16string(a, a + std::strlen(a)));
    watcher->setPacketCallback(&Collector::callback, &collector, 7);
    watcher->start();
    ASSERT_TRUE(eventually([&] { return watcher->isRunning(); })) << a;

    UdpPair pair(ipv6, 6101, 6102);
    ASSERT_GE(pair.local, 0);
    ASSERT_GE(pair.remote, 0);
    const uint32_t headers = ipv6 ? 48 : 28;
    platform::IpAddress local = platform::ipAddress(a);
    platform::IpAddress remote = platform::ipAddress(b);
    std::vector<Report> expected = {{true, kProtocolUdp, local, 6101, remote, 6102, headers + 100},
                                    {false, kProtocolUdp, local, 6101, remote, 6102, headers + 50}};
    // The capture may start a moment after the loop: send until the first datagram shows.
    ASSERT_TRUE(eventually([&] {
      pair.send(true, 100);
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      return !collector.copy().empty();
    })) << a;
    size_t before = collector.copy().size();
    ASSERT_EQ(pair.send(false, 50), 50);
    ASSERT_TRUE(eventually([&] { return collector.copy().size() == before + 1; })) << a;
    std::vector<Report> reports = collector.copy();
    EXPECT_EQ(reports.front(), expected[0]) << a;
    EXPECT_EQ(reports.back(), expected[1]) << a;

    // stop without waiting ends the blocked loop at once, and is no failure.
    uint32_t linesBefore = win::getCaptureReport()->count();
    watcher->stop(false);
    EXPECT_TRUE(eventually([&] { return !watcher->isRunning(); }));
    EXPECT_EQ(win::getCaptureReport()->count(), linesBefore) << a;
  }
}

TEST_F(PacketWatcherTest, WatchedAddressTextsOfBothFamilies) {
  struct Case {
    std::u16string_view text;
    bool parsed;
    bool ipv6;
    bool zoned;
  };
  const Case cases[] = {
      {u"10.213.0.1", true, false, false},
      {u"fd00:213::1", true, true, false},
      {u"fe80::ff:fe21:3001%nv-a", true, true, true},
      {u"fe80::1%nv-no-such", false, false, false},
      {u"10.213.0.1%nv-a", false, false, false},
      {u"not an address", false, false, false},
      {u"", false, false, false},
  };
  for (const Case& c : cases) {
    platform::IpAddress address;
    int ifindex = -1;
    ASSERT_EQ(win::parseWatchedAddress(c.text, address, ifindex), c.parsed)
        << std::string(c.text.begin(), c.text.end());
    if (c.parsed) {
      EXPECT_EQ(address.family == platform::IpFamily::V6, c.ipv6);
      EXPECT_EQ(ifindex != 0, c.zoned);
      EXPECT_EQ(ifindex == 0 || ifindex == static_cast<int>(if_nametoindex("nv-a")), true);
    }
  }
}

TEST_F(PacketWatcherTest, AnAddressNoInterfaceHoldsIsLoggedAndRetriedOnStart) {
  PoolPtr<PacketWatcher> watcher = PacketWatcher::make();
  watcher->setAddressText(u"10.213.0.99");
  watcher->start();
  ASSERT_TRUE(eventually([&] { return !watcher->isRunning(); }));
  EXPECT_TRUE(logHas(u"interface lookup Failed: EADDRNOTAVAIL"));
  watcher->setAddressText(u"not an address");
  watcher->start();
  ASSERT_TRUE(eventually([&] { return !watcher->isRunning(); }));
  EXPECT_TRUE(logHas(u"inet_pton() Failed: EINVAL"));
  EXPECT_FALSE(win::rawAccessAdded());
}

// Run by the test below in a process of its own without CAP_NET_RAW.
TEST_F(PacketWatcherTest, ChildWithoutNetRaw) {
  if (std::getenv("NETVIGIL_NO_NET_RAW_CHILD") == nullptr) {
    GTEST_SKIP() << "run by WithoutNetRawCaptureFailsCleanly";
  }
  Collector collector;
  PoolPtr<PacketWatcher> watcher = PacketWatcher::make();
  watcher->setAddressText(u"10.213.0.1");
  watcher->setPacketCallback(&Collector::callback, &collector, 7);
  watcher->start();
  ASSERT_TRUE(eventually([&] { return !watcher->isRunning(); }));
  EXPECT_TRUE(logHas(u"socket() Failed: EPERM"));
  // Once, with what the log's reader needs to know about the helper.
  EXPECT_TRUE(
      logHas(u"NOTE: Capture needs CAP_NET_RAW, which netvigil-rights holds for the members of its "
             u"group (see the README); netvigil-rights: not started"));
  EXPECT_TRUE(win::rawAccessAdded());
  EXPECT_TRUE(collector.copy().empty());
}

TEST_F(PacketWatcherTest, WithoutNetRawCaptureFailsCleanly) {
  if (std::getenv("NETVIGIL_NO_NET_RAW_CHILD") != nullptr) {
    GTEST_SKIP();
  }
  char self[4096] = {};
  ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
  int status = platform::runProgram({"env", "NETVIGIL_NO_NET_RAW_CHILD=1", "setpriv",
                                     "--inh-caps=-net_raw", "--bounding-set=-net_raw", self,
                                     "--gtest_filter=PacketWatcherTest.ChildWithoutNetRaw"});
  EXPECT_EQ(status, 0);
}

TEST(CaptureLogTest, KeepsTheLatestHundredTexts) {
  for (int i = 0; i < 150; ++i) {
    std::string text = "message " + std::to_string(i);
    win::addCaptureMessage(std::u16string(text.begin(), text.end()));
  }
  std::vector<std::u16string> report = texts(win::getCaptureReport());
  ASSERT_EQ(report.size(), 101U);
  EXPECT_EQ(report[0], u"[Packet Watcher]");
  EXPECT_EQ(report[1], u"message 50");
  EXPECT_EQ(report[100], u"message 149");
}

TEST(CaptureLogTest, TellsWhatTheRingLost) {
  win::logCaptureDrops(u"fd00:213::1", 1234);
  EXPECT_TRUE(logHas(u"Capture ring full: 1234 datagrams lost on fd00:213::1"));
}

TEST(WsaInitializerTest, ReportsThatSocketsNeedNoStartUp) {
  win::WsaInitializer& initializer = win::WsaInitializer::getInstance();
  EXPECT_EQ(&initializer, &win::WsaInitializer::getInstance());
  EXPECT_TRUE(initializer.ensureStarted());
  std::vector<std::u16string> report = texts(initializer.getWsaReport());
  ASSERT_EQ(report.size(), 2U);
  EXPECT_EQ(report[0], u"[WSA Initializer]");
  EXPECT_EQ(report[1], u"Socket layer ready - Linux sockets need no start-up");
}

}  // namespace
}  // namespace s::system::network

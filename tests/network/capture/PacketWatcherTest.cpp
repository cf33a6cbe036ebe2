#include "network/capture/PacketWatcher.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "network/capture/CaptureLog.h"
#include "network/capture/WsaInitializer.h"
#include "tests/network/capture/NetnsEnvironment.h"
#include "tests/platform/linux/capture/TestNet.h"

namespace s::system::network {
namespace {

using platform::NetnsPair;
using win::PacketWatcher;

struct Report {
  bool sent;
  uint8_t protocol;
  uint32_t local;
  uint16_t localPort;
  uint32_t remote;
  uint16_t remotePort;
  uint32_t bytes;
  bool operator==(const Report&) const = default;
};

struct Collector {
  std::mutex lock;
  std::vector<Report> reports;
  static void callback(bool sent, uint8_t protocol, uint32_t local, uint16_t localPort,
                       uint32_t remote, uint16_t remotePort, uint32_t bytes, void* context,
                       uint32_t extra) {
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

template <class Condition>
bool eventually(Condition condition) {
  for (int i = 0; i < 500; ++i) {
    if (condition()) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return condition();
}

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

TEST_F(PacketWatcherTest, ReportsEachDatagramFromTheLocalSide) {
  Collector collector;
  PoolPtr<PacketWatcher> watcher = PacketWatcher::make();
  watcher->setAddressText(u"10.213.0.1");
  watcher->setPacketCallback(&Collector::callback, &collector, 7);
  watcher->start();
  ASSERT_TRUE(eventually([&] { return watcher->isRunning(); }));

  int local = platform::socketIn(namespaceA(), SOCK_DGRAM, NetnsPair::kAddressA, 6101);
  int remote = platform::socketIn(namespaceB(), SOCK_DGRAM, NetnsPair::kAddressB, 6102);
  ASSERT_GE(local, 0);
  ASSERT_GE(remote, 0);
  sockaddr_in toB = platform::endpoint(NetnsPair::kAddressB, 6102);
  sockaddr_in toA = platform::endpoint(NetnsPair::kAddressA, 6101);
  const uint32_t a = inet_addr(NetnsPair::kAddressA);
  const uint32_t b = inet_addr(NetnsPair::kAddressB);
  std::vector<Report> expected = {{true, kProtocolUdp, a, 6101, b, 6102, 28 + 100},
                                  {false, kProtocolUdp, a, 6101, b, 6102, 28 + 50}};
  // The capture may start a moment after the loop: send until the first datagram shows.
  std::string hundred(100, 'x');
  ASSERT_TRUE(eventually([&] {
    sendto(local, hundred.data(), hundred.size(), 0, reinterpret_cast<sockaddr*>(&toB), sizeof toB);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return !collector.copy().empty();
  }));
  size_t before = collector.copy().size();
  std::string fifty(50, 'y');
  ASSERT_EQ(
      sendto(remote, fifty.data(), fifty.size(), 0, reinterpret_cast<sockaddr*>(&toA), sizeof toA),
      50);
  ASSERT_TRUE(eventually([&] { return collector.copy().size() == before + 1; }));
  std::vector<Report> reports = collector.copy();
  EXPECT_EQ(reports.front(), expected[0]);
  EXPECT_EQ(reports.back(), expected[1]);

  // stop without waiting ends the blocked loop at once, and is no failure.
  uint32_t linesBefore = win::getCaptureReport()->count();
  watcher->stop(false);
  EXPECT_TRUE(eventually([&] { return !watcher->isRunning(); }));
  EXPECT_EQ(win::getCaptureReport()->count(), linesBefore);
  close(local);
  close(remote);
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

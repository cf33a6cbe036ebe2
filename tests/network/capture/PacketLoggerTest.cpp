#include "network/capture/PacketLogger.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "tests/network/capture/NetnsEnvironment.h"
#include "tests/platform/linux/capture/TestNet.h"
#include "tests/support/Eventually.h"

namespace s::system::network {
namespace {

using platform::NetnsPair;
using s::test::eventually;
using win::PacketLogger;

using Totals = std::map<std::u16string, std::pair<uint64_t, uint64_t>>;

// Adds a taken table's entries to `totals`.
void addTable(const PoolPtr<TrafficTable>& table, Totals& totals) {
  table->forEach([&totals](str::StrBuffer* key, TrafficCount* count) {
    auto& entry = totals[std::u16string(key->view())];
    entry.first += count->received;
    entry.second += count->sent;
  });
}

Totals take(PacketLogger& logger) {
  Totals totals;
  addTable(logger.takeTrafficTable(), totals);
  return totals;
}

std::u16string u16(const std::string& text) {
  return {text.begin(), text.end()};
}

std::vector<std::u16string> watched(PacketLogger& logger) {
  str::StrArray* list = str::StrArray::take();
  // A recycled list comes without its element disposer.
  list->setDestructor(&str::StrBuffer::pool());
  logger.watchedAddresses(*list);
  std::vector<std::u16string> out;
  for (const str::StrBuffer* text : *list) {
    out.emplace_back(text->view());
  }
  list->release();
  return out;
}

TEST(PacketLoggerCountTest, KeysNameTheProtocolAndEndpoints) {
  PoolPtr<PacketLogger> logger = PacketLogger::make();
  logger->logPacket(false, u"TCP", u"10.0.0.5", 80, u"10.0.0.9", 4000, 1500);
  logger->logPacket(true, u"TCP", u"10.0.0.5", 80, u"10.0.0.9", 4000, 40);
  logger->logPacket(false, u"UDP", u"10.0.0.5", 53, u"10.0.0.9", 3000, 100);
  logger->logPacket(false, u"UDP", u"10.0.0.5", 53, u"10.0.0.7", 3001, 60);
  logger->logPacket(true, u"UDP", u"10.0.0.5", 53, u"10.0.0.7", 3001, 200);
  logger->logPacket(true, u"ICMP", u"10.0.0.5", 0, u"10.0.0.7", 0, 84);
  logger->logPacket(true, u"TCP", u"no address", 1, u"10.0.0.7", 2, 84);
  // IPv6 endpoints in brackets, under protocols of their own; families do not mix.
  logger->logPacket(false, u"TCP", u"2001:db8::5", 443, u"2001:db8::9", 50000, 1280);
  logger->logPacket(true, u"TCP", u"2001:db8::5", 443, u"2001:db8::9", 50000, 60);
  logger->logPacket(true, u"UDP", u"fe80::1%lo", 546, u"ff02::1:2", 547, 100);
  logger->logPacket(true, u"TCP", u"2001:db8::5", 443, u"10.0.0.9", 50000, 60);
  Totals expected = {{u"TCP,10.0.0.5:80-10.0.0.9:4000", {1500, 40}},
                     {u"UDP,10.0.0.5:53", {160, 200}},
                     {u"TCP6,[2001:db8::5]:443-[2001:db8::9]:50000", {1280, 60}},
                     {u"UDP6,[fe80::1]:546", {0, 100}}};
  EXPECT_EQ(take(*logger), expected);
  EXPECT_TRUE(take(*logger).empty()) << "a second take without traffic is empty";
}

TEST(PacketLoggerCountTest, TheEntryLimitStopsAllCountingUntilTheTableIsTaken) {
  PoolPtr<PacketLogger> logger = PacketLogger::make();
  EXPECT_EQ(logger->getKeyLimit(), 5000);
  for (int port = 1; port <= 5000; ++port) {
    logger->logPacket(false, u"UDP", u"10.0.0.5", port, u"10.0.0.9", 1, 10);
  }
  // Neither a new key nor one already present counts now.
  logger->logPacket(false, u"UDP", u"10.0.0.5", 6000, u"10.0.0.9", 1, 10);
  logger->logPacket(false, u"UDP", u"10.0.0.5", 1, u"10.0.0.9", 1, 10);
  Totals full = take(*logger);
  EXPECT_EQ(full.size(), 5000U);
  EXPECT_EQ(full[u"UDP,10.0.0.5:1"].first, 10U);
  EXPECT_EQ(full.count(u"UDP,10.0.0.5:6000"), 0U);
  logger->logPacket(false, u"UDP", u"10.0.0.5", 6000, u"10.0.0.9", 1, 10);
  EXPECT_EQ(take(*logger).size(), 1U) << "counting resumes in the next interval";

  logger->setKeyLimit(2);
  logger->logPacket(true, u"TCP", u"10.0.0.5", 1, u"10.0.0.9", 2, 10);
  logger->logPacket(true, u"TCP", u"10.0.0.5", 1, u"10.0.0.9", 3, 10);
  logger->logPacket(true, u"TCP", u"10.0.0.5", 1, u"10.0.0.9", 2, 10);
  EXPECT_EQ(take(*logger), (Totals{{u"TCP,10.0.0.5:1-10.0.0.9:2", {0, 10}},
                                   {u"TCP,10.0.0.5:1-10.0.0.9:3", {0, 10}}}));
  logger->release();
  logger.release();
  PoolPtr<PacketLogger> reused = PacketLogger::make();
  EXPECT_EQ(reused->getKeyLimit(), 5000) << "a reset logger has the default limit";
}

class PacketLoggerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!haveNamespaces()) {
      GTEST_SKIP() << "network namespaces need root";
    }
  }
};

TEST_F(PacketLoggerTest, CountsARealConnectionAndUdpUnderTheirTrafficKeys) {
  PoolPtr<PacketLogger> logger = PacketLogger::make();
  logger->start();
  int udp = platform::socketIn(namespaceA(), SOCK_DGRAM, NetnsPair::kAddressA, 6201);
  int peer1 = platform::socketIn(namespaceB(), SOCK_DGRAM, NetnsPair::kAddressB, 6202);
  int peer2 = platform::socketIn(namespaceB(), SOCK_DGRAM, NetnsPair::kAddressB, 6203);
  ASSERT_GE(udp, 0);
  ASSERT_GE(peer1, 0);
  ASSERT_GE(peer2, 0);
  sockaddr_in toA = platform::endpoint(NetnsPair::kAddressA, 6201);
  sockaddr_in toB = platform::endpoint(NetnsPair::kAddressB, 6202);
  char payload[1024] = {};
  // Once the watcher counts, let what is in flight land and start a clean interval.
  ASSERT_TRUE(eventually([&] {
    sendto(udp, payload, 1, 0, reinterpret_cast<sockaddr*>(&toB), sizeof toB);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return !take(*logger).empty();
  }));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  take(*logger);
  platform::IpOctets before = platform::ipOctets(namespaceA());

  int server = platform::socketIn(namespaceB(), SOCK_STREAM, NetnsPair::kAddressB, 5201);
  ASSERT_GE(server, 0);
  ASSERT_EQ(listen(server, 1), 0);
  std::thread echo([server] {
    int connection = accept(server, nullptr, nullptr);
    char buffer[4096];
    ssize_t got = 0;
    while (connection >= 0 && (got = recv(connection, buffer, sizeof buffer, 0)) > 0) {
      send(connection, buffer, static_cast<size_t>(got), MSG_NOSIGNAL);
    }
    close(connection);
  });
  int client = platform::socketIn(namespaceA(), SOCK_STREAM, NetnsPair::kAddressA, 0);
  ASSERT_GE(client, 0);
  sockaddr_in toServer = platform::endpoint(NetnsPair::kAddressB, 5201);
  ASSERT_EQ(connect(client, reinterpret_cast<sockaddr*>(&toServer), sizeof toServer), 0);
  std::string data(50'000, 'd');
  ASSERT_EQ(send(client, data.data(), data.size(), MSG_NOSIGNAL), 50'000);
  shutdown(client, SHUT_WR);
  char buffer[4096];
  size_t echoed = 0;
  ssize_t got = 0;
  while ((got = recv(client, buffer, sizeof buffer, 0)) > 0) {
    echoed += static_cast<size_t>(got);
  }
  EXPECT_EQ(echoed, 50'000U);
  std::u16string tcpKey =
      u16("TCP,10.213.0.1:" + std::to_string(platform::localPort(client)) + "-10.213.0.2:5201");
  close(client);
  echo.join();
  close(server);

  uint64_t udpReceived = 0;
  uint64_t udpSent = 0;
  for (size_t size : {10U, 300U, 999U}) {
    sendto(udp, payload, size, 0, reinterpret_cast<sockaddr*>(&toB), sizeof toB);
    udpSent += 28 + size;
    sendto(peer1, payload, size + 1, 0, reinterpret_cast<sockaddr*>(&toA), sizeof toA);
    sendto(peer2, payload, size + 2, 0, reinterpret_cast<sockaddr*>(&toA), sizeof toA);
    udpReceived += 2 * 28 + 2 * size + 3;
  }

  // Interval after interval, the totals grow to the namespace's own IPv4 octet counts.
  Totals totals;
  std::pair<uint64_t, uint64_t> tcpExpected;
  ASSERT_TRUE(eventually([&] {
    addTable(logger->takeTrafficTable(), totals);
    platform::IpOctets now = platform::ipOctets(namespaceA());
    tcpExpected = {now.in - before.in - udpReceived, now.out - before.out - udpSent};
    return totals[tcpKey] == tcpExpected &&
           totals[u"UDP,10.213.0.1:6201"] == std::make_pair(udpReceived, udpSent);
  })) << "TCP "
      << totals[tcpKey].first << "/" << tcpExpected.first << " received, " << totals[tcpKey].second
      << "/" << tcpExpected.second << " sent";
  EXPECT_GT(tcpExpected.first, 50'000U);
  EXPECT_GT(tcpExpected.second, 50'000U);
  EXPECT_EQ(totals.size(), 2U);
  for (int fd : {udp, peer1, peer2}) {
    close(fd);
  }
}

TEST_F(PacketLoggerTest, CountsIpv6DatagramsUnderTheirTrafficKeys) {
  PoolPtr<PacketLogger> logger = PacketLogger::make();
  logger->start();
  int local = platform::socketIn6(namespaceA(), SOCK_DGRAM, NetnsPair::kAddress6A, 6401);
  int peer = platform::socketIn6(namespaceB(), SOCK_DGRAM, NetnsPair::kAddress6B, 6402);
  ASSERT_GE(local, 0);
  ASSERT_GE(peer, 0);
  sockaddr_in6 toPeer = platform::endpoint6(NetnsPair::kAddress6B, 6402);
  sockaddr_in6 toLocal = platform::endpoint6(NetnsPair::kAddress6A, 6401);
  char payload[512] = {};
  const std::u16string key = u"UDP6,[fd00:213::1]:6401";
  // Once the watcher of the IPv6 address counts, start from a clean interval.
  ASSERT_TRUE(eventually([&] {
    sendto(local, payload, 1, 0, reinterpret_cast<sockaddr*>(&toPeer), sizeof toPeer);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return take(*logger).count(key) != 0;
  }));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  take(*logger);
  sendto(local, payload, 300, 0, reinterpret_cast<sockaddr*>(&toPeer), sizeof toPeer);
  sendto(peer, payload, 500, 0, reinterpret_cast<sockaddr*>(&toLocal), sizeof toLocal);
  Totals totals;
  ASSERT_TRUE(eventually([&] {
    addTable(logger->takeTrafficTable(), totals);
    return totals[key] == std::make_pair(uint64_t{548}, uint64_t{348});
  })) << totals[key].first
      << " received, " << totals[key].second << " sent";
  close(local);
  close(peer);
}

TEST_F(PacketLoggerTest, WatchersFollowTheAddressesOfTheInterfaces) {
  struct Restore {
    ~Restore() {
      platform::runProgram({"ip", "-n", namespaceA(), "address", "add", "10.213.0.1/24", "dev",
                            NetnsPair::kInterfaceA});
    }
  } restore;
  PoolPtr<PacketLogger> logger = PacketLogger::make();
  logger->start();
  using List = std::vector<std::u16string>;
  // The first IPv4 address and every IPv6 one, a link-local one with its interface.
  const std::u16string linkLocal = u"fe80::ff:fe21:3001%nv-a";
  auto sorted = [](List list) {
    std::sort(list.begin(), list.end());
    return list;
  };
  ASSERT_TRUE(eventually([&] {
    return sorted(watched(*logger)) == List{u"10.213.0.1", u"fd00:213::1", linkLocal};
  })) << watched(*logger).size();
  auto ipv4Watched = [&] {
    List ipv4;
    for (const std::u16string& address : watched(*logger)) {
      if (address.find(u':') == std::u16string::npos) {
        ipv4.push_back(address);
      }
    }
    return ipv4;
  };
  auto ipA = [](std::vector<std::string> args) {
    args.insert(args.begin(), {"ip", "-n", namespaceA()});
    return platform::runProgram(args) == 0;
  };
  ASSERT_TRUE(ipA({"address", "add", "10.214.0.5/24", "dev", NetnsPair::kInterfaceA}));
  ASSERT_TRUE(ipA({"address", "del", "10.213.0.1/24", "dev", NetnsPair::kInterfaceA}));
  EXPECT_TRUE(eventually([&] { return ipv4Watched() == List{u"10.214.0.5"}; }));
  ASSERT_TRUE(ipA({"address", "del", "10.214.0.5/24", "dev", NetnsPair::kInterfaceA}));
  EXPECT_TRUE(eventually([&] { return ipv4Watched().empty(); }));

  ASSERT_TRUE(ipA({"address", "add", "10.213.0.1/24", "dev", NetnsPair::kInterfaceA}));
  ASSERT_TRUE(eventually([&] { return ipv4Watched() == List{u"10.213.0.1"}; }));
  // Releasing the running logger gives its watchers back, stopped, before it returns.
  uint32_t freeWatchers = win::PacketWatcher::pool().freeCount();
  logger.reset();
  EXPECT_EQ(win::PacketWatcher::pool().freeCount(), freeWatchers + 3);
}

}  // namespace
}  // namespace s::system::network

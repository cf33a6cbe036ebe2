#include <arpa/inet.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "framework/time/TimeMs.h"
#include "network/TcpConnection.h"
#include "network/UdpConnection.h"

namespace s::system::network {
namespace {

constexpr uint32_t kLoopback = 0x0100007F;  // 127.0.0.1
constexpr uint32_t k127002 = 0x0200007F;    // 127.0.0.2
constexpr uint32_t k10005 = 0x0500000A;     // 10.0.0.5
constexpr uint32_t k10009 = 0x0900000A;     // 10.0.0.9

std::u16string text(std::u16string_view view) {
  return std::u16string(view);
}

PoolPtr<TcpConnection> tcp(int32_t state, uint32_t local, int32_t localPort, uint32_t remote,
                           int32_t remotePort, int32_t pid = 42) {
  PoolPtr<TcpConnection> record = TcpConnection::make();
  record->setState(state);
  record->setLocalAddress(local);
  record->setLocalPort(localPort);
  record->setRemoteAddress(remote);
  record->setRemotePort(remotePort);
  record->setPid(pid);
  return record;
}

// A traffic table with one entry, owning its keys and counts.
class Traffic {
 public:
  Traffic() : table_(takeEmptyTrafficTable()) {}
  Traffic(const Traffic&) = delete;
  Traffic& operator=(const Traffic&) = delete;

  void put(std::u16string_view key, uint64_t received, uint64_t sent) {
    // The table frees its counts as the capture's tables do.
    auto* counts = static_cast<TrafficCounts*>(std::malloc(sizeof(TrafficCounts)));  // NOLINT
    counts->received = received;
    counts->sent = sent;
    table_->put(str::StrBuffer::of(key), counts);
  }
  const TrafficTable& table() const { return *table_; }

 private:
  PoolPtr<TrafficTable> table_;
};

TEST(TcpConnectionTest, TextsOfAnEstablishedConnection) {
  auto record = tcp(5, k10005, 80, k10009, 4000, 1234);
  EXPECT_EQ(text(record->getStateText()), u"ESTABLISHED");
  EXPECT_EQ(text(record->getLocalAddressText()), u"10.0.0.5");
  EXPECT_EQ(text(record->getLocalPortText()), u"80");
  EXPECT_EQ(text(record->getRemoteAddressText()), u"10.0.0.9");
  EXPECT_EQ(text(record->getRemotePortText()), u"4000");
  EXPECT_EQ(record->getRemotePort(), 4000);
  EXPECT_EQ(text(record->getPidText()), u"1234");
  EXPECT_EQ(text(record->getRemoteHostText()), u"10.0.0.9");
  EXPECT_EQ(text(record->getProtocolText()), u"TCP");
  EXPECT_EQ(record->getProtocol(), 1);
  EXPECT_TRUE(record->isDisconnectable());
  EXPECT_EQ(text(record->className()), u"s_system_network_TcpConnection");
}

TEST(TcpConnectionTest, StateTexts) {
  const std::pair<int32_t, std::u16string_view> cases[] = {
      {0, u"UNKNOWN"},      {1, u"CLOSED"},      {2, u"LISTENING"}, {3, u"SYN_SENT"},
      {4, u"SYN_RECEIVED"}, {5, u"ESTABLISHED"}, {6, u"FIN_WAIT1"}, {7, u"FIN_WAIT2"},
      {8, u"CLOSE_WAIT"},   {9, u"CLOSING"},     {10, u"LAST_ACK"}, {11, u"TIME_WAIT"},
      {12, u"DELETE_TCB"},  {13, u"UNKNOWN"},    {-1, u"UNKNOWN"},
  };
  for (const auto& [state, name] : cases) {
    auto record = tcp(state, k10005, 80, k10009, 4000);
    EXPECT_EQ(text(record->getStateText()), text(name)) << state;
  }
}

TEST(TcpConnectionTest, ListeningRecord) {
  auto record = tcp(2, k10005, 80, k10009, 4000);
  EXPECT_EQ(text(record->getRemoteAddressText()), u"");
  EXPECT_EQ(text(record->getRemoteHostText()), u"*");
  EXPECT_EQ(record->getRemotePort(), -1);
  EXPECT_EQ(text(record->getRemotePortText()), u"");
  EXPECT_FALSE(record->isDisconnectable());
  EXPECT_FALSE(record->resolveRemoteHostName());
  // The flag is set, but there is no name, so it does not count as resolved.
  EXPECT_FALSE(record->isRemoteHostNameResolved());
  EXPECT_FALSE(record->resolveRemoteHostName());
  record->buildTrafficKey();
  Traffic traffic;
  traffic.put(u"TCP,10.0.0.5:80", 10, 20);
  EXPECT_TRUE(record->addReceived(traffic.table()));
  EXPECT_EQ(record->getReceivedBytes(), 10);
  // The remote address does not count in a listener's key.
  EXPECT_TRUE(record->equals(*tcp(2, k10005, 80, 0, 0)));
}

TEST(TcpConnectionTest, KeysFollowTheState) {
  // Not ESTABLISHED: the remote port does not count.
  EXPECT_TRUE(tcp(11, k10005, 80, k10009, 4000)->equals(*tcp(11, k10005, 80, k10009, 4001)));
  EXPECT_TRUE(tcp(8, k10005, 80, k10009, 4000)->equals(*tcp(8, k10005, 80, k10009, 5000)));
  EXPECT_EQ(tcp(8, k10005, 80, k10009, 4000)->hashCode(),
            tcp(8, k10005, 80, k10009, 5000)->hashCode());
  auto timeWait = tcp(11, k10005, 80, k10009, 4000);
  EXPECT_EQ(text(timeWait->getRemoteAddressText()), u"10.0.0.9");
  EXPECT_EQ(timeWait->getRemotePort(), -1);
  EXPECT_EQ(text(timeWait->getRemotePortText()), u"");
  // ESTABLISHED: it does; and SYN_SENT and ESTABLISHED keys differ.
  EXPECT_FALSE(tcp(5, k10005, 80, k10009, 4000)->equals(*tcp(5, k10005, 80, k10009, 4001)));
  EXPECT_FALSE(tcp(3, k10005, 80, k10009, 4000)->equals(*tcp(5, k10005, 80, k10009, 4000)));
  // The owner counts, with its low 16 bits.
  EXPECT_FALSE(tcp(5, k10005, 80, k10009, 4000, 1)->equals(*tcp(5, k10005, 80, k10009, 4000, 2)));
  EXPECT_TRUE(
      tcp(5, k10005, 80, k10009, 4000, 1)->equals(*tcp(5, k10005, 80, k10009, 4000, 0x10001)));
  // A UDP record is never equal to a TCP one.
  auto udp = UdpConnection::make();
  EXPECT_FALSE(tcp(5, k10005, 80, k10009, 4000)->equals(*udp));
}

TEST(TcpConnectionTest, KeyWordsAndHash) {
  auto record = tcp(5, k10005, 80, k10009, 4000, 7);
  uint32_t words[4] = {k10005 << 16 | 80, 7U << 16 | k10005 >> 16, k10009 << 16 | 4000,
                       k10009 >> 16};
  EXPECT_EQ(record->hashCode(), words[0] ^ words[1] ^ words[2] ^ words[3]);
  EXPECT_EQ(record->hashCodeIgnoreCase(), record->hashCode());
}

TEST(TcpConnectionTest, SetStateReportsChangeAndKeepsTheKey) {
  auto record = tcp(3, k10005, 80, k10009, 4000);
  uint32_t hash = record->hashCode();
  EXPECT_FALSE(record->setState(3));
  EXPECT_TRUE(record->setState(5));
  EXPECT_EQ(record->getState(), 5);
  EXPECT_EQ(record->hashCode(), hash);
}

TEST(TcpConnectionTest, LoopbackIsNotMeasured) {
  auto loopback = tcp(5, kLoopback, 80, kLoopback, 4000);
  EXPECT_EQ(loopback->getReceivedBytes(), -1);
  EXPECT_EQ(loopback->getSentBytes(), -1);
  loopback->buildTrafficKey();
  Traffic traffic;
  traffic.put(u"TCP,127.0.0.1:80-127.0.0.1:4000", 10, 20);
  EXPECT_FALSE(loopback->addReceived(traffic.table()));
  EXPECT_FALSE(loopback->addSent(traffic.table()));

  auto other = tcp(5, k127002, 80, kLoopback, 4000);
  EXPECT_EQ(other->getReceivedBytes(), 0);
  other->buildTrafficKey();
  traffic.put(u"TCP,127.0.0.2:80-127.0.0.1:4000", 10, 20);
  EXPECT_TRUE(other->addReceived(traffic.table()));
  EXPECT_TRUE(other->addSent(traffic.table()));
  EXPECT_EQ(other->getReceivedBytes(), 10);
  EXPECT_EQ(other->getSentBytes(), 20);
}

TEST(TcpConnectionTest, AddingTraffic) {
  auto record = tcp(5, k10005, 80, k10009, 4000);
  Traffic traffic;
  // No key yet, and an empty table.
  EXPECT_FALSE(record->addReceived(traffic.table()));
  record->buildTrafficKey();
  EXPECT_FALSE(record->addReceived(traffic.table()));
  traffic.put(u"TCP,10.0.0.5:80-10.0.0.9:4001", 5, 5);
  EXPECT_FALSE(record->addReceived(traffic.table()));
  traffic.put(u"TCP,10.0.0.5:80-10.0.0.9:4000", 0, 7);
  EXPECT_FALSE(record->addReceived(traffic.table()));
  EXPECT_EQ(record->getReceivedBytes(), 0);
  EXPECT_TRUE(record->addSent(traffic.table()));
  EXPECT_TRUE(record->addSent(traffic.table()));
  EXPECT_EQ(record->getSentBytes(), 14);
  // A key that is not ESTABLISHED ends in a colon and never meets measured traffic.
  auto closing = tcp(8, k10005, 80, k10009, 4000);
  closing->buildTrafficKey();
  traffic.put(u"TCP,10.0.0.5:80-10.0.0.9:", 1, 1);
  EXPECT_TRUE(closing->addReceived(traffic.table()));
}

TEST(TcpConnectionTest, OwnerTexts) {
  auto unseen = tcp(5, k10005, 80, k10009, 4000, -1);
  EXPECT_EQ(text(unseen->getPidText()), u"-");
  EXPECT_EQ(text(unseen->getProcessName()), u"");
  EXPECT_EQ(text(unseen->getProcessPath()), u"");
  EXPECT_FALSE(unseen->hasProcessPath());
  auto outside = tcp(5, k10005, 80, k10009, 4000, -2);
  EXPECT_EQ(text(outside->getPidText()), u"-");
  EXPECT_EQ(text(outside->getProcessName()), u"");
  EXPECT_FALSE(outside->hasProcessPath());

  auto own = tcp(5, k10005, 80, k10009, 4000, getpid());
  EXPECT_TRUE(own->hasProcessPath());
  EXPECT_EQ(text(own->getProcessName()), u"test_network");
}

TEST(TcpConnectionTest, Durations) {
  auto record = tcp(5, k10005, 80, k10009, 4000);
  record->setStartTime(time::nowMs() - 3'600'000);
  EXPECT_EQ(text(record->getDurationText()).substr(0, 3), u"1h ");
  record->setEndTime(record->getStartTime() + 61'000);
  EXPECT_EQ(record->getDuration(), 61'000);
  EXPECT_EQ(text(record->getDurationText()), u"1m 1s");
  record->setEndTime(record->getStartTime() - 5);
  EXPECT_EQ(record->getDuration(), -5);
}

TEST(TcpConnectionTest, ReleaseResetsTheRecord) {
  TcpConnection* record = TcpConnection::take();
  record->setState(5);
  record->setLocalAddress(kLoopback);
  record->setPid(9);
  record->setHostNameShown(false);
  record->setViewRecord(UdpConnection::make());  // any pooled object stands for a row
  record->release();
  TcpConnection* again = TcpConnection::take();
  EXPECT_EQ(again->getState(), 0);
  EXPECT_EQ(again->getPid(), -1);
  EXPECT_EQ(again->getReceivedBytes(), 0);
  EXPECT_EQ(again->getViewRecord(), nullptr);
  EXPECT_TRUE(again->isHostNameShown());
  EXPECT_EQ(again->hashCode(), 0U);
  again->release();
}

TEST(UdpConnectionTest, FixedAnswersAndKey) {
  auto record = UdpConnection::make();
  record->setLocalAddress(0);
  record->setLocalPort(53);
  record->setPid(5);
  EXPECT_FALSE(record->setState(5));
  EXPECT_EQ(record->getState(), 0);
  EXPECT_EQ(text(record->getStateText()), u"");
  record->setRemoteAddress(k10009);
  record->setRemotePort(9);
  EXPECT_EQ(record->getRemoteAddress(), 0U);
  EXPECT_EQ(record->getRemotePort(), -1);
  EXPECT_EQ(text(record->getRemoteAddressText()), u"");
  EXPECT_EQ(text(record->getRemoteHostText()), u"*");
  EXPECT_FALSE(record->resolveRemoteHostName());
  EXPECT_FALSE(record->isDisconnectable());
  EXPECT_EQ(text(record->getProtocolText()), u"UDP");
  EXPECT_EQ(record->hashCode(), (53U) ^ (5U << 16));
  record->buildTrafficKey();
  Traffic traffic;
  traffic.put(u"UDP,0.0.0.0:53", 3, 4);
  EXPECT_TRUE(record->addReceived(traffic.table()));
  EXPECT_EQ(record->getReceivedBytes(), 3);
}

TEST(UdpConnectionTest, LoopbackOnlyWhenTheAddressComesFirst) {
  auto first = UdpConnection::make();
  first->setLocalAddress(kLoopback);
  first->setLocalPort(53);
  EXPECT_EQ(first->getReceivedBytes(), -1);
  auto late = UdpConnection::make();
  late->setLocalPort(53);
  late->setLocalAddress(kLoopback);
  EXPECT_EQ(late->getReceivedBytes(), 0);
}

platform::Ipv6Bytes v6(const char* text) {
  platform::Ipv6Bytes bytes{};
  inet_pton(AF_INET6, text, bytes.data());
  return bytes;
}

PoolPtr<TcpConnection> tcp6(int32_t state, const char* local, int32_t localPort, const char* remote,
                            int32_t remotePort,
                            platform::SocketFamily family = platform::SocketFamily::Ipv6) {
  PoolPtr<TcpConnection> record = TcpConnection::make();
  record->setState(state);
  record->setLocalAddress6(family, v6(local));
  record->setLocalPort(localPort);
  record->setRemoteAddress6(v6(remote));
  record->setRemotePort(remotePort);
  record->setPid(42);
  return record;
}

TEST(Ipv6RecordTest, TextsProtocolsAndTrafficKeys) {
  auto record = tcp6(5, "2001:db8::5", 80, "2001:db8:0:0:1::9", 4000);
  EXPECT_EQ(record->getFamily(), platform::SocketFamily::Ipv6);
  EXPECT_EQ(text(record->getProtocolText()), u"TCP6");
  EXPECT_EQ(record->getProtocol(), 1);
  EXPECT_EQ(text(record->getLocalAddressText()), u"2001:db8::5");
  EXPECT_EQ(text(record->getRemoteAddressText()), u"2001:db8::1:0:0:9");
  EXPECT_EQ(text(record->getRemoteHostText()), u"2001:db8::1:0:0:9");
  EXPECT_EQ(record->getLocalAddress(), 0U);
  record->buildTrafficKey();
  Traffic traffic;
  traffic.put(u"TCP6,[2001:db8::5]:80-[2001:db8::1:0:0:9]:4000", 10, 20);
  ASSERT_TRUE(record->addReceived(traffic.table()));
  EXPECT_EQ(record->getReceivedBytes(), 10);

  auto listening = tcp6(2, "::", 8080, "::", 0, platform::SocketFamily::DualStack);
  EXPECT_EQ(text(listening->getProtocolText()), u"TCP46");
  EXPECT_EQ(text(listening->getLocalAddressText()), u"::");
  EXPECT_EQ(text(listening->getRemoteAddressText()), u"");
  EXPECT_EQ(text(listening->getRemoteHostText()), u"*");

  auto udp = UdpConnection::make();
  udp->setLocalAddress6(platform::SocketFamily::Ipv6, v6("fe80::1"));
  udp->setLocalPort(546);
  EXPECT_EQ(text(udp->getProtocolText()), u"UDP6");
  udp->buildTrafficKey();
  traffic.put(u"UDP6,[fe80::1]:546", 3, 4);
  EXPECT_TRUE(udp->addSent(traffic.table()));
  EXPECT_EQ(udp->getSentBytes(), 4);
  auto dualUdp = UdpConnection::make();
  dualUdp->setLocalAddress6(platform::SocketFamily::DualStack, v6("::"));
  dualUdp->setLocalPort(53);
  EXPECT_EQ(text(dualUdp->getProtocolText()), u"UDP46");
}

TEST(Ipv6RecordTest, KeysTakeTheWholeAddressesAndTheFamily) {
  auto a = tcp6(5, "2001:db8::5", 80, "2001:db8::9", 4000);
  EXPECT_TRUE(a->equals(*tcp6(5, "2001:db8::5", 80, "2001:db8::9", 4000)));
  // Addresses that differ only where an IPv4 word would not look.
  EXPECT_FALSE(a->equals(*tcp6(5, "2001:db9::5", 80, "2001:db8::9", 4000)));
  EXPECT_FALSE(a->equals(*tcp6(5, "2001:db8::5", 80, "2002:db8::9", 4000)));
  EXPECT_FALSE(a->equals(*tcp6(5, "2001:db8::5", 80, "2001:db8::9", 4001)));
  // Not ESTABLISHED: the remote port does not count, the remote address does.
  EXPECT_TRUE(tcp6(8, "2001:db8::5", 80, "2001:db8::9", 4000)
                  ->equals(*tcp6(8, "2001:db8::5", 80, "2001:db8::9", 4001)));
  // LISTENING: the remote address does not count either.
  EXPECT_TRUE(tcp6(2, "::", 80, "::", 0)->equals(*tcp6(2, "::", 80, "2001:db8::9", 0)));
  // The same wildcard as dual-stack and as IPv6 only, and the IPv4 wildcard, are three sockets.
  EXPECT_FALSE(tcp6(2, "::", 80, "::", 0)
                   ->equals(*tcp6(2, "::", 80, "::", 0, platform::SocketFamily::DualStack)));
  EXPECT_FALSE(tcp6(2, "::", 80, "::", 0)->equals(*tcp(2, 0, 80, 0, 0)));
}

TEST(Ipv6RecordTest, Ipv6LoopbackIsNotMeasured) {
  EXPECT_EQ(tcp6(5, "::1", 80, "::1", 4000)->getReceivedBytes(), -1);
  EXPECT_EQ(tcp6(5, "::2", 80, "::1", 4000)->getReceivedBytes(), 0);
  auto udp = UdpConnection::make();
  udp->setLocalAddress6(platform::SocketFamily::Ipv6, v6("::1"));
  udp->setLocalPort(53);
  EXPECT_EQ(udp->getSentBytes(), -1);
}

TEST(KernelTotalsTest, ShownAsTheyAreAndFollowedFromLaterReadings) {
  auto record = tcp(5, k10005, 80, k10009, 4000);
  record->useKernelTotals(true, 1000, 300);
  EXPECT_TRUE(record->hasKernelTotals());
  EXPECT_EQ(record->getReceivedBytes(), 1000);
  EXPECT_EQ(record->getSentBytes(), 300);
  auto later = tcp(5, k10005, 80, k10009, 4000);
  later->useKernelTotals(true, 1000, 900);
  ConnectionRecord::TotalsChange change = record->takeKernelTotals(*later);
  EXPECT_FALSE(change.received);
  EXPECT_TRUE(change.sent);
  EXPECT_EQ(record->getSentBytes(), 900);
  // A reading without totals changes nothing; a loopback record stays unmeasured.
  auto plain = tcp(5, k10005, 80, k10009, 4000);
  change = record->takeKernelTotals(*plain);
  EXPECT_FALSE(change.received || change.sent);
  auto loopback = tcp(5, kLoopback, 80, kLoopback, 4000);
  loopback->useKernelTotals(true, 5, 5);
  EXPECT_EQ(loopback->getReceivedBytes(), -1);
  EXPECT_FALSE(loopback->hasKernelTotals());
  auto udp = UdpConnection::make();
  udp->setLocalAddress(k10005);
  udp->setLocalPort(53);
  udp->useKernelTotals(false, 0, 0);
  EXPECT_EQ(udp->getReceivedBytes(), -1) << "no totals: not measured";
}

}  // namespace
}  // namespace s::system::network

#include <gtest/gtest.h>
#include <netinet/in.h>

#include <string>
#include <thread>

#include "platform/linux/capture/ErrnoName.h"
#include "tests/platform/linux/capture/CaptureFixture.h"
#include "tests/platform/linux/capture/TestNet.h"

namespace s::platform {
namespace {

using s::test::eventually;
using test::CaptureThread;
using test::FlowSink;
using test::receiveDatagram;
using test::sendDatagram;

std::string key6(const char* protocol, uint16_t localPort, uint16_t remotePort) {
  return std::string(protocol) + "," + NetnsPair::kAddress6A + ":" + std::to_string(localPort) +
         "-" + NetnsPair::kAddress6B + ":" + std::to_string(remotePort);
}

class Ipv6CaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) {
      GTEST_SKIP() << "network namespaces need root";
    }
    ASSERT_TRUE(pair_.create(NetnsPair::Ipv6::Quiet));
  }
  NetnsPair pair_;
};

TEST_F(Ipv6CaptureTest, ConnectionBytesEqualTheNamespacesIpv6Counters) {
  FlowSink sink;
  CaptureThread capture(pair_.nameA(), NetnsPair::kAddress6A, sink);
  ASSERT_EQ(capture.openError(), 0) << capture.failedStep() << errnoName(capture.openError());
  ASSERT_TRUE(ip6Quiet(pair_.nameA()));
  IpOctets before = ip6Octets(pair_.nameA());

  uint16_t clientPort =
      test::uploadAndDownload(pair_, NetnsPair::kAddress6A, NetnsPair::kAddress6B);
  ASSERT_NE(clientPort, 0);
  std::string tcp = key6("TCP", clientPort, 5001);

  int localUdp = socketIn6(pair_.nameA(), SOCK_DGRAM, NetnsPair::kAddress6A, 6001);
  int remoteUdp = socketIn6(pair_.nameB(), SOCK_DGRAM, NetnsPair::kAddress6B, 6002);
  ASSERT_GE(localUdp, 0);
  ASSERT_GE(remoteUdp, 0);
  FlowSink::Counts udpExpected;
  for (size_t i = 1; i <= 20; ++i) {
    ASSERT_TRUE(sendDatagram(localUdp, NetnsPair::kAddress6B, 6002, 10 * i));
    udpExpected.sent += 48 + 10 * i;
    ASSERT_TRUE(sendDatagram(remoteUdp, NetnsPair::kAddress6A, 6001, 3 * i));
    udpExpected.received += 48 + 3 * i;
  }
  std::string udp = key6("UDP", 6001, 6002);
  ASSERT_TRUE(eventually([&] { return sink.flows()[udp] == udpExpected; }))
      << "UDP sent " << sink.flows()[udp].sent << " of " << udpExpected.sent;

  // Only this traffic crossed the pair: the namespace's own IPv6 counters are the reference.
  FlowSink::Counts expected;
  ASSERT_TRUE(eventually([&] {
    IpOctets now = ip6Octets(pair_.nameA());
    expected = {now.in - before.in, now.out - before.out};
    return sink.total() == expected;
  })) << "received "
      << sink.total().received << " of " << expected.received << ", sent " << sink.total().sent
      << " of " << expected.sent;
  EXPECT_GE(sink.flows()[tcp].sent, 200'000U + 60);
  EXPECT_GE(sink.flows()[tcp].received, 30'000U + 60);
  EXPECT_EQ(sink.flows().size(), 2U);
  EXPECT_EQ(sink.drops(), 0U);
  EXPECT_EQ(capture.stop(), 0);
  close(localUdp);
  close(remoteUdp);
}

TEST_F(Ipv6CaptureTest, ExtensionHeadersAreWalkedAndEachFragmentCountsOnceUnderItsDatagram) {
  // Datagrams larger than the links carry are sent in fragments.
  ASSERT_TRUE(pair_.ipA({"link", "set", NetnsPair::kInterfaceA, "mtu", "1280"}));
  ASSERT_TRUE(pair_.ipB({"link", "set", NetnsPair::kInterfaceB, "mtu", "1280"}));
  FlowSink sink;
  CaptureThread capture(pair_.nameA(), NetnsPair::kAddress6A, sink);
  ASSERT_EQ(capture.openError(), 0) << capture.failedStep() << errnoName(capture.openError());
  int local = socketIn6(pair_.nameA(), SOCK_DGRAM, NetnsPair::kAddress6A, 6101);
  int remote = socketIn6(pair_.nameB(), SOCK_DGRAM, NetnsPair::kAddress6B, 6102);
  ASSERT_GE(local, 0);
  ASSERT_GE(remote, 0);
  // A destination-options header on the way out, a hop-by-hop header on the way in; each
  // carries one PadN option filling it to 8 bytes.
  const uint8_t options[8] = {0, 0, 1, 4, 0, 0, 0, 0};
  ASSERT_EQ(setsockopt(local, IPPROTO_IPV6, IPV6_DSTOPTS, options, sizeof options), 0);
  ASSERT_EQ(setsockopt(remote, IPPROTO_IPV6, IPV6_HOPOPTS, options, sizeof options), 0);
  ASSERT_TRUE(ip6Quiet(pair_.nameA()));
  IpOctets before = ip6Octets(pair_.nameA());

  ASSERT_TRUE(sendDatagram(local, NetnsPair::kAddress6B, 6102, 100));
  ASSERT_EQ(receiveDatagram(remote), 100);
  ASSERT_TRUE(sendDatagram(remote, NetnsPair::kAddress6A, 6101, 60));
  ASSERT_EQ(receiveDatagram(local), 60);
  std::string udp = key6("UDP", 6101, 6102);
  FlowSink::Counts small{40 + 8 + 8 + 60, 40 + 8 + 8 + 100};
  ASSERT_TRUE(eventually([&] { return sink.flows()[udp] == small; }))
      << "received " << sink.flows()[udp].received << ", sent " << sink.flows()[udp].sent;

  // Fragmented both ways: each datagram arrives whole, once.
  ASSERT_TRUE(sendDatagram(local, NetnsPair::kAddress6B, 6102, 3000));
  ASSERT_EQ(receiveDatagram(remote), 3000);
  ASSERT_TRUE(sendDatagram(remote, NetnsPair::kAddress6A, 6101, 2500));
  ASSERT_EQ(receiveDatagram(local), 2500);
  FlowSink::Counts expected;
  ASSERT_TRUE(eventually([&] {
    IpOctets now = ip6Octets(pair_.nameA());
    expected = {now.in - before.in, now.out - before.out};
    return sink.flows()[udp] == expected;
  })) << "received "
      << sink.flows()[udp].received << " of " << expected.received << ", sent "
      << sink.flows()[udp].sent << " of " << expected.sent;
  // Three fragments out, each with its own 40-byte header, 8-byte fragment header and the
  // destination options; two in.
  EXPECT_GT(expected.sent - small.sent, 3008U + 3 * 48);
  EXPECT_GT(expected.received - small.received, 2508U + 2 * 48);
  EXPECT_EQ(sink.flows().size(), 1U) << "no fragment under ports of its own";
  EXPECT_EQ(capture.stop(), 0);
  close(local);
  close(remote);
}

TEST_F(Ipv6CaptureTest, DatagramsOfOtherAddressesAreLeftOut) {
  FlowSink sink;
  CaptureThread capture(pair_.nameA(), NetnsPair::kAddress6A, sink);
  ASSERT_EQ(capture.openError(), 0);
  ASSERT_TRUE(
      pair_.ipA({"address", "add", "fd00:213::3/64", "dev", NetnsPair::kInterfaceA, "nodad"}));
  int other = socketIn6(pair_.nameA(), SOCK_DGRAM, "fd00:213::3", 6201);
  int ours = socketIn6(pair_.nameA(), SOCK_DGRAM, NetnsPair::kAddress6A, 6201);
  int remote = socketIn6(pair_.nameB(), SOCK_DGRAM, NetnsPair::kAddress6B, 6202);
  ASSERT_GE(other, 0);
  ASSERT_GE(ours, 0);
  ASSERT_GE(remote, 0);
  ASSERT_TRUE(sendDatagram(remote, "fd00:213::3", 6201, 400));
  ASSERT_EQ(receiveDatagram(other), 400);
  ASSERT_TRUE(sendDatagram(remote, NetnsPair::kAddress6A, 6201, 10));
  std::string udp = key6("UDP", 6201, 6202);
  ASSERT_TRUE(eventually([&] { return sink.flows()[udp].received == 58U; }));
  EXPECT_EQ(sink.flows().size(), 1U);
  for (int fd : {other, ours, remote}) {
    close(fd);
  }
}

}  // namespace
}  // namespace s::platform

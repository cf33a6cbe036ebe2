#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <netinet/ip_icmp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>

#include <chrono>
#include <cstring>
#include <future>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "platform/linux/capture/AddressCapture.h"
#include "platform/linux/capture/ErrnoName.h"
#include "platform/linux/capture/InterfaceList.h"
#include "tests/platform/linux/capture/CaptureFixture.h"
#include "tests/platform/linux/capture/TestNet.h"

namespace s::platform {
namespace {

using s::test::eventually;
using test::CaptureThread;
using test::FlowSink;
using test::receiveDatagram;
using test::sendDatagram;

std::string tcpKey(uint16_t localPort, uint16_t remotePort) {
  return "TCP," + std::string(NetnsPair::kAddressA) + ":" + std::to_string(localPort) + "-" +
         NetnsPair::kAddressB + ":" + std::to_string(remotePort);
}
std::string udpKey(const char* local, uint16_t localPort, const char* remote, uint16_t remotePort) {
  return "UDP," + std::string(local) + ":" + std::to_string(localPort) + "-" + remote + ":" +
         std::to_string(remotePort);
}

uint16_t checksum(const uint8_t* data, size_t size) {
  uint32_t sum = 0;
  for (size_t i = 0; i + 1 < size; i += 2) {
    sum += static_cast<uint32_t>(data[i] << 8 | data[i + 1]);
  }
  while ((sum >> 16) != 0) {
    sum = (sum & 0xffff) + (sum >> 16);
  }
  return htons(static_cast<uint16_t>(~sum));
}

// Sends one echo request from namespace `ns` to `address` and waits for the reply.
bool ping(const std::string& ns, const char* address) {
  int fd = -1;
  {
    NetnsEntry entry(ns);
    fd = socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
  }
  if (fd < 0) {
    return false;
  }
  uint8_t request[64] = {ICMP_ECHO, 0, 0, 0, 0x12, 0x34, 0, 1};
  uint16_t sum = checksum(request, sizeof request);
  std::memcpy(request + 2, &sum, 2);
  sockaddr_in to = endpoint(address, 0);
  bool replied = sendto(fd, request, sizeof request, 0, reinterpret_cast<sockaddr*>(&to),
                        sizeof to) == sizeof request;
  timeval timeout{5, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  uint8_t answer[256];
  for (int i = 0; replied && i < 10; ++i) {
    ssize_t got = recv(fd, answer, sizeof answer, 0);
    if (got < 0) {
      replied = false;
    } else if (got > 20 && answer[(answer[0] & 0x0f) * 4] == ICMP_ECHOREPLY) {
      break;
    }
  }
  close(fd);
  return replied;
}

class CaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) {
      GTEST_SKIP() << "network namespaces need root";
    }
    ASSERT_TRUE(pair_.create());
  }
  NetnsPair pair_;
};

TEST_F(CaptureTest, CountsEachDatagramOfTheAddressOnceWithItsIpLength) {
  FlowSink sink;
  CaptureThread capture(pair_.nameA(), NetnsPair::kAddressA, sink);
  ASSERT_EQ(capture.openError(), 0) << capture.failedStep() << errnoName(capture.openError());

  // A real TCP connection: 200,000 bytes up, 30,000 down, closed from both sides.
  IpOctets before = ipOctets(pair_.nameA());
  uint16_t clientPort = test::uploadAndDownload(pair_, NetnsPair::kAddressA, NetnsPair::kAddressB);
  ASSERT_NE(clientPort, 0);
  std::string key = tcpKey(clientPort, 5001);

  // The namespace's own IPv4 octet counters are the reference: only this connection ran.
  FlowSink::Counts expected;
  ASSERT_TRUE(eventually([&] {
    IpOctets now = ipOctets(pair_.nameA());
    expected = {now.in - before.in, now.out - before.out};
    return sink.flows()[key] == expected;
  })) << "received "
      << sink.flows()[key].received << " of " << expected.received << ", sent "
      << sink.flows()[key].sent << " of " << expected.sent;
  EXPECT_GE(expected.sent, 200'000U + 40);
  EXPECT_GE(expected.received, 30'000U + 40);
  EXPECT_EQ(sink.flows().size(), 1U);

  // UDP: every datagram counts its payload and 28 header bytes, per remote endpoint.
  int localUdp = socketIn(pair_.nameA(), SOCK_DGRAM, NetnsPair::kAddressA, 6001);
  int remoteUdp = socketIn(pair_.nameB(), SOCK_DGRAM, NetnsPair::kAddressB, 6002);
  int otherRemoteUdp = socketIn(pair_.nameB(), SOCK_DGRAM, NetnsPair::kAddressB, 6003);
  ASSERT_GE(localUdp, 0);
  ASSERT_GE(remoteUdp, 0);
  ASSERT_GE(otherRemoteUdp, 0);
  FlowSink::Counts toB;
  FlowSink::Counts toB2;
  for (size_t i = 1; i <= 40; ++i) {
    ASSERT_TRUE(sendDatagram(localUdp, NetnsPair::kAddressB, 6002, 10 * i));
    toB.sent += 28 + 10 * i;
  }
  for (size_t i = 0; i < 20; ++i) {
    ASSERT_TRUE(sendDatagram(remoteUdp, NetnsPair::kAddressA, 6001, 7 * i + 1));
    toB.received += 28 + 7 * i + 1;
  }
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(sendDatagram(otherRemoteUdp, NetnsPair::kAddressA, 6001, 100));
    toB2.received += 128;
  }
  std::string udp = udpKey(NetnsPair::kAddressA, 6001, NetnsPair::kAddressB, 6002);
  std::string udp2 = udpKey(NetnsPair::kAddressA, 6001, NetnsPair::kAddressB, 6003);
  ASSERT_TRUE(eventually([&] { return sink.flows()[udp] == toB && sink.flows()[udp2] == toB2; }))
      << "sent " << sink.flows()[udp].sent << " of " << toB.sent;
  IpOctets afterUdp = ipOctets(pair_.nameA());
  EXPECT_EQ(sink.total().received, afterUdp.in - before.in);
  EXPECT_EQ(sink.total().sent, afterUdp.out - before.out);

  // Datagrams of another address of the same interface, and ICMP of the watched address, are
  // not counted. Each is seen arriving before the marker datagram that closes the test.
  ASSERT_TRUE(pair_.ipA({"address", "add", "10.213.0.3/24", "dev", NetnsPair::kInterfaceA}));
  int otherLocal = socketIn(pair_.nameA(), SOCK_DGRAM, "10.213.0.3", 6001);
  ASSERT_GE(otherLocal, 0);
  ASSERT_TRUE(sendDatagram(remoteUdp, "10.213.0.3", 6001, 500));
  ASSERT_TRUE(receiveDatagram(otherLocal) >= 0);
  ASSERT_TRUE(sendDatagram(otherLocal, NetnsPair::kAddressB, 6002, 500));
  ASSERT_TRUE(receiveDatagram(remoteUdp) >= 0);  // 40 of the first phase come first
  ASSERT_TRUE(ping(pair_.nameA(), NetnsPair::kAddressB));
  ASSERT_TRUE(ping(pair_.nameB(), NetnsPair::kAddressA));
  std::map<std::string, FlowSink::Counts> counted = sink.flows();
  ASSERT_TRUE(sendDatagram(localUdp, NetnsPair::kAddressB, 6002, 333));
  counted[udp].sent += 361;
  EXPECT_TRUE(eventually([&] { return sink.flows() == counted; }));
  // The traffic left out did flow: one 528-byte datagram each way, two echoes of 84 each way.
  IpOctets end = ipOctets(pair_.nameA());
  EXPECT_EQ(end.in - afterUdp.in, 528U + 2 * 84);
  EXPECT_EQ(end.out - afterUdp.out, 528U + 2 * 84 + 361);

  EXPECT_EQ(capture.stop(), 0);
  for (int fd : {localUdp, remoteUdp, otherRemoteUdp, otherLocal}) {
    close(fd);
  }
}

TEST_F(CaptureTest, DatagramsTheRingHadNoRoomForAreReported) {
  NetnsEntry entry(pair_.nameA());
  AddressCapture capture;
  ASSERT_EQ(capture.open(ipAddress(NetnsPair::kAddressA)), 0);
  // Nobody reads the ring while far more datagrams come than it holds.
  int sender = socketIn(pair_.nameA(), SOCK_DGRAM, NetnsPair::kAddressA, 6301);
  int receiver = socketIn(pair_.nameB(), SOCK_DGRAM, NetnsPair::kAddressB, 6302);
  ASSERT_GE(sender, 0);
  ASSERT_GE(receiver, 0);
  for (int i = 0; i < 150'000; ++i) {
    sendDatagram(sender, NetnsPair::kAddressB, 6302, 16);
  }
  FlowSink sink;
  int result = -1;
  std::thread reader([&] { result = capture.run(sink); });
  EXPECT_TRUE(eventually([&] { return sink.total().sent > 0; }));
  capture.stop();
  reader.join();
  EXPECT_EQ(result, 0);
  // What was lost is told once the run ends, at the latest.
  EXPECT_GT(sink.drops(), 0U);
  EXPECT_LT(sink.total().sent, 150'000U * (28 + 16));
  close(sender);
  close(receiver);
}

TEST_F(CaptureTest, StopEndsABlockedRunAtOnce) {
  FlowSink sink;
  CaptureThread capture(pair_.nameA(), NetnsPair::kAddressA, sink);
  ASSERT_EQ(capture.openError(), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // let it block in its wait
  EXPECT_EQ(capture.stop(), 0);
  EXPECT_TRUE(sink.flows().empty());
}

TEST_F(CaptureTest, AnInterfaceGoingDownEndsTheRunWithENETDOWN) {
  FlowSink sink;
  CaptureThread capture(pair_.nameA(), NetnsPair::kAddressA, sink);
  ASSERT_EQ(capture.openError(), 0);
  ASSERT_TRUE(pair_.ipA({"link", "set", NetnsPair::kInterfaceA, "down"}));
  ASSERT_TRUE(capture.ended());
  EXPECT_EQ(capture.stop(), ENETDOWN);
  EXPECT_STREQ(capture.failedStep(), "poll()");
}

TEST_F(CaptureTest, AnAddressNoInterfaceHoldsFailsToOpen) {
  NetnsEntry entry(pair_.nameA());
  AddressCapture capture;
  EXPECT_EQ(capture.open(ipAddress("10.213.0.77")), EADDRNOTAVAIL);
  EXPECT_STREQ(capture.failedStep(), "interface lookup");
  EXPECT_FALSE(capture.isOpen());
  EXPECT_EQ(errnoName(EADDRNOTAVAIL), "EADDRNOTAVAIL");
}

// Drops CAP_NET_RAW from every set of the calling (single-threaded child) process.
bool dropNetRaw() {
  if (prctl(PR_CAPBSET_DROP, CAP_NET_RAW, 0, 0, 0) != 0) {
    return false;
  }
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2] = {};
  if (syscall(SYS_capget, &header, data) != 0) {
    return false;
  }
  const uint32_t bit = 1U << CAP_NET_RAW;
  data[0].effective &= ~bit;
  data[0].permitted &= ~bit;
  data[0].inheritable &= ~bit;
  return syscall(SYS_capset, &header, data) == 0;
}

TEST_F(CaptureTest, WithoutNetRawOpeningFailsWithEPERM) {
  NetnsEntry entry(pair_.nameA());
  ASSERT_TRUE(entry.entered());
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (!dropNetRaw()) {
      _exit(10);
    }
    AddressCapture capture;
    int error = capture.open(ipAddress(NetnsPair::kAddressA));
    if (error != EPERM) {
      _exit(11);
    }
    if (std::strcmp(capture.failedStep(), "socket()") != 0 || capture.isOpen()) {
      _exit(12);
    }
    _exit(isAccessDenied(error) ? 0 : 13);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace s::platform

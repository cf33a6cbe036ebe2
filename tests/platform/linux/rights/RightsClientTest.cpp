// The program's side: a process without any capability that asks the helper for what it lacks.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/Processes.h"
#include "platform/linux/SockDiagSource.h"
#include "platform/linux/SocketTable.h"
#include "platform/linux/TcpCloser.h"
#include "platform/linux/capture/AddressCapture.h"
#include "platform/linux/capture/NetnsPair.h"
#include "platform/linux/capture/Rtnetlink.h"
#include "platform/linux/rights/RightsClient.h"
#include "tests/platform/linux/Sockets.h"
#include "tests/platform/linux/rights/HelperFixture.h"
#include "tests/support/Eventually.h"

namespace s::platform {
namespace {

using s::test::eventually;
using test::asNobody;
using test::Fd;
using test::GrantedHelper;
using test::HelperGrant;
using test::inodeOf;
using test::kNogroup;
using test::kOtherGroup;
using test::statusField;

constexpr const char* kNoCapabilities = "0000000000000000";

class RightsClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) {
      GTEST_SKIP() << "granting the helper's capabilities needs root";
    }
  }
};

// Moves the calling single-threaded process into a namespace of `ip netns`.
bool enterNamespace(const std::string& name) {
  int fd = open(("/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC);
  bool entered = fd >= 0 && setns(fd, CLONE_NEWNET) == 0;
  if (fd >= 0) {
    close(fd);
  }
  return entered;
}

TEST_F(RightsClientTest, AProcessHoldingEveryRightStartsNoHelper) {
  GrantedHelper granted;
  ASSERT_TRUE(granted.ok());
  {
    RightsClient client({granted.path()});
    EXPECT_EQ(client.state(), RightsHelperState::kNotNeeded);
    EXPECT_EQ(client.helperPid(), -1);
    EXPECT_EQ(RightsClient::current(), &client);
  }
  EXPECT_EQ(RightsClient::current(), nullptr);
}

TEST_F(RightsClientTest, SaysWhyThereIsNoHelperToAsk) {
  struct Case {
    const char* name;
    bool installed;
    HelperGrant grant;
    RightsHelperState expected;
  };
  const Case cases[] = {
      {"not installed", false, {}, RightsHelperState::kNotInstalled},
      {"group only", true, {kOtherGroup, 0750, true}, RightsHelperState::kNotPermitted},
      {"run by anyone, refusing others",
       true,
       {kOtherGroup, 0755, true},
       RightsHelperState::kNotPermitted},
      {"no capabilities", true, {kNogroup, 0750, false}, RightsHelperState::kNoRights},
  };
  for (const Case& c : cases) {
    GrantedHelper granted(c.grant);
    ASSERT_TRUE(granted.ok()) << c.name;
    std::string path = c.installed ? granted.path() : granted.path() + ".missing";
    EXPECT_EQ(asNobody([&] {
                RightsClient client({path});
                if (client.state() != c.expected) {
                  return "state " + std::to_string(static_cast<int>(client.state())) + ": " +
                         client.statusText();
                }
                if (client.statusText().find(path) == std::string::npos ||
                    client.serves(rights::kRightCapture)) {
                  return client.statusText();
                }
                // Nothing of the refused helper is left.
                pid_t pid = client.helperPid();
                return pid <= 0 || !isProcessAlive(pid) ? std::string() : "the helper lingers";
              }),
              "")
        << c.name;
  }
}

TEST_F(RightsClientTest, NamesTheOwnersOfRootsSockets) {
  GrantedHelper granted;
  ASSERT_TRUE(granted.ok());
  Fd listener = test::tcpListener("127.0.0.1");
  ASSERT_GE(listener.get(), 0);
  const uint64_t inode = test::inodeOf(listener.get());
  const pid_t root = getpid();
  EXPECT_EQ(asNobody([&] {
              close(listener.get());  // the forked copy: root's alone holds it
              auto ownerShown = [inode](SocketTable& table) {
                std::vector<SocketRow> rows;
                const SocketRow* row =
                    table.read(Protocol::Tcp, rows) ? test::rowWithInode(rows, inode) : nullptr;
                return row != nullptr ? row->pid : 0;
              };
              SocketTable alone;
              if (ownerShown(alone) != kOwnerUnseen) {
                return std::string("seen without the helper");
              }
              RightsClient client({granted.path()});
              if (!client.serves(rights::kRightOwners)) {
                return client.statusText();
              }
              SocketTable table;
              int32_t first = ownerShown(table);
              int32_t again = ownerShown(table);
              return first == root && again == root
                         ? std::string()
                         : "owner " + std::to_string(first) + ", then " + std::to_string(again);
            }),
            "");
}

// Counts the datagrams a capture reports, by direction.
class CountingSink final : public IDatagramSink {
 public:
  void onDatagram(bool sent, const IpDatagram& datagram) override {
    (sent ? sent_ : received_) += datagram.length;
  }
  void onDrops(uint32_t /*dropped*/) override {}
  uint64_t sent() const { return sent_.load(); }
  uint64_t received() const { return received_.load(); }

 private:
  std::atomic<uint64_t> sent_{0};
  std::atomic<uint64_t> received_{0};
};

// An address of the pair of one family, as a socket address with a port.
struct PairAddress {
  sockaddr_storage socket{};
  socklen_t length = 0;
};
PairAddress pairAddress(bool ipv6, const char* address, uint16_t port) {
  PairAddress out;
  if (ipv6) {
    auto* where = reinterpret_cast<sockaddr_in6*>(&out.socket);
    where->sin6_family = AF_INET6;
    where->sin6_port = htons(port);
    inet_pton(AF_INET6, address, &where->sin6_addr);
    out.length = sizeof(sockaddr_in6);
  } else {
    auto* where = reinterpret_cast<sockaddr_in*>(&out.socket);
    where->sin_family = AF_INET;
    where->sin_port = htons(port);
    where->sin_addr.s_addr = test::ipv4(address);
    out.length = sizeof(sockaddr_in);
  }
  return out;
}

Fd udpSocketOf(bool ipv6, const char* address) {
  return ipv6 ? test::ipv6Socket(SOCK_DGRAM, address, true) : test::udpSocket(address);
}

// Over IPv4 (false) and IPv6 (true).
class RightsByFamilyTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (geteuid() != 0) {
      GTEST_SKIP() << "granting the helper's capabilities needs root";
    }
  }
};

TEST_P(RightsByFamilyTest, CapturesExactBytesHoldingNoCapability) {
  const bool ipv6 = GetParam();
  const char* nearAddress = ipv6 ? NetnsPair::kAddress6A : NetnsPair::kAddressA;
  const char* farAddress = ipv6 ? NetnsPair::kAddress6B : NetnsPair::kAddressB;
  const size_t headers = ipv6 ? 48 : 28;
  GrantedHelper granted;
  ASSERT_TRUE(granted.ok());
  NetnsPair pair;
  ASSERT_TRUE(pair.create(NetnsPair::Ipv6::Quiet));
  // The far end, in the other namespace, made before the child leaves root behind.
  int far = -1;
  {
    NetnsEntry entry(pair.nameB());
    ASSERT_TRUE(entry.entered());
    Fd socket = udpSocketOf(ipv6, farAddress);
    far = fcntl(socket.get(), F_DUPFD_CLOEXEC, 10);
  }
  Fd farEnd(far);
  ASSERT_GE(farEnd.get(), 0);
  const uint16_t farPort = test::localPort(farEnd.get());
  const std::vector<size_t> payloads = {1, 100, 1000, 1452, 0, 333};

  EXPECT_EQ(asNobody(
                [&] {
                  RightsClient client({granted.path()});
                  if (!client.serves(rights::kRightCapture)) {
                    return client.statusText();
                  }
                  AddressCapture capture;
                  in6_addr bytes{};
                  inet_pton(AF_INET6, nearAddress, &bytes);
                  int error = capture.open(ipv6 ? IpAddress::v6(bytes.s6_addr)
                                                : IpAddress::v4(test::ipv4(nearAddress)));
                  if (error != 0) {
                    return std::string(capture.failedStep()) + " " + std::to_string(error);
                  }
                  CountingSink sink;
                  std::thread reader([&] { capture.run(sink); });
                  Fd near = udpSocketOf(ipv6, nearAddress);
                  const uint16_t nearPort = test::localPort(near.get());
                  PairAddress toFar = pairAddress(ipv6, farAddress, farPort);
                  PairAddress toNear = pairAddress(ipv6, nearAddress, nearPort);
                  std::vector<char> bytesOut(1452, 'x');
                  uint64_t expected = 0;
                  for (size_t size : payloads) {
                    sendto(near.get(), bytesOut.data(), size, 0,
                           reinterpret_cast<sockaddr*>(&toFar.socket), toFar.length);
                    sendto(farEnd.get(), bytesOut.data(), size, 0,
                           reinterpret_cast<sockaddr*>(&toNear.socket), toNear.length);
                    expected += size + headers;
                  }
                  bool counted = eventually(
                      [&] { return sink.sent() >= expected && sink.received() >= expected; });
                  // The program's own process holds nothing while it captures.
                  std::string effective = statusField(getpid(), "CapEff");
                  std::string permitted = statusField(getpid(), "CapPrm");
                  std::this_thread::sleep_for(std::chrono::milliseconds(50));
                  capture.stop();
                  reader.join();
                  if (!counted || sink.sent() != expected || sink.received() != expected) {
                    return "sent " + std::to_string(sink.sent()) + ", received " +
                           std::to_string(sink.received()) + " of " + std::to_string(expected);
                  }
                  if (effective != kNoCapabilities || permitted != kNoCapabilities) {
                    return "capabilities " + effective + " " + permitted;
                  }
                  return std::string();
                },
                [&] { return enterNamespace(pair.nameA()); }),
            "");
}

TEST_P(RightsByFamilyTest, ClosesAConnectionOfAnotherUser) {
  const bool ipv6 = GetParam();
  GrantedHelper granted;
  ASSERT_TRUE(granted.ok());
  Fd listener = ipv6 ? test::ipv6Socket(SOCK_STREAM, "::1", true) : test::tcpListener("127.0.0.1");
  const uint16_t port = test::localPort(listener.get());
  Fd outgoing = ipv6 ? test::tcpConnect6("::1", port) : test::tcpConnect("127.0.0.1", port);
  Fd incoming = test::tcpAccept(listener.get());
  ASSERT_GE(incoming.get(), 0);
  const uint16_t outgoingPort = test::localPort(outgoing.get());
  const uint32_t loopback = test::ipv4("127.0.0.1");
  const Ipv6Bytes loopback6 = test::ipv6("::1");
  // The process's own request, then the one that goes to the helper when that is refused.
  auto destroy = [&] {
    return ipv6 ? SockDiagSource::destroyTcp6(loopback6, outgoingPort, loopback6, port)
                : SockDiagSource::destroyTcp(loopback, outgoingPort, loopback, port);
  };
  auto close = [&] {
    return ipv6 ? closeTcpConnection6(loopback6, outgoingPort, loopback6, port)
                : closeTcpConnection(loopback, outgoingPort, loopback, port);
  };
  EXPECT_EQ(asNobody([&] {
              if (destroy() || errno != EPERM) {
                return std::string("closed without the right");
              }
              if (close()) {
                return std::string("handed over without a helper");
              }
              RightsClient client({granted.path()});
              return close() ? std::string() : client.statusText();
            }),
            "");
  // The helper had ended the connection before it ended itself.
  pollfd state{outgoing.get(), POLLIN, 0};
  ASSERT_EQ(poll(&state, 1, 5000), 1);
  char byte = 0;
  EXPECT_EQ(recv(outgoing.get(), &byte, 1, MSG_DONTWAIT), -1);
  EXPECT_EQ(errno, ECONNABORTED);
}

INSTANTIATE_TEST_SUITE_P(Families, RightsByFamilyTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Ipv6" : "Ipv4"; });

TEST_F(RightsClientTest, AHandedOverSocketCannotBeWidened) {
  GrantedHelper granted;
  ASSERT_TRUE(granted.ok());
  NetnsPair pair;
  ASSERT_TRUE(pair.create());
  EXPECT_EQ(asNobody(
                [&] {
                  RightsClient client({granted.path()});
                  uint8_t address[16] = {};
                  uint32_t word = test::ipv4(NetnsPair::kAddressA);
                  std::memcpy(address, &word, sizeof word);
                  int ifindex = interfaceHoldingAddress(IpAddress::v4(word));
                  RightsClient::CaptureSocket socket =
                      client.openCaptureSocket(ifindex, AF_INET, address);
                  if (!socket.socket.valid()) {
                    return "no socket: " + std::to_string(socket.error);
                  }
                  sock_filter everything = BPF_STMT(BPF_RET | BPF_K, 0xffff);
                  sock_fprog wide{1, &everything};
                  int dummy = 0;
                  bool attached = setsockopt(socket.socket.get(), SOL_SOCKET, SO_ATTACH_FILTER,
                                             &wide, sizeof wide) == 0;
                  bool detached = setsockopt(socket.socket.get(), SOL_SOCKET, SO_DETACH_FILTER,
                                             &dummy, sizeof dummy) == 0;
                  bool unlocked = setsockopt(socket.socket.get(), SOL_SOCKET, SO_LOCK_FILTER,
                                             &dummy, sizeof dummy) == 0;
                  // Nor can the process open one of its own.
                  int own = ::socket(AF_PACKET, SOCK_DGRAM, 0);
                  return attached || detached || unlocked || own >= 0
                             ? std::string("the filter could be changed, or a socket opened")
                             : std::string();
                },
                [&] { return enterNamespace(pair.nameA()); }),
            "");
}

TEST_F(RightsClientTest, TheHelperEndsWhenTheProgramEnds) {
  GrantedHelper granted;
  ASSERT_TRUE(granted.ok());
  // In good order: the client ends it and waits for it.
  EXPECT_EQ(asNobody([&] {
              pid_t helper = -1;
              {
                RightsClient client({granted.path()});
                helper = client.helperPid();
                if (client.state() != RightsHelperState::kRunning || !isProcessAlive(helper)) {
                  return client.statusText();
                }
              }
              return isProcessAlive(helper) ? std::string("still there") : std::string();
            }),
            "");

  // Killed: the helper sees its channel close.
  int report[2];
  ASSERT_EQ(pipe(report), 0);
  pid_t program = fork();
  ASSERT_GE(program, 0);
  if (program == 0) {
    close(report[0]);
    if (!test::becomeNobody()) {
      _exit(1);
    }
    RightsClient client({granted.path()});
    pid_t helper = client.helperPid();
    if (write(report[1], &helper, sizeof helper) != sizeof helper) {
      _exit(1);
    }
    pause();
    _exit(0);
  }
  close(report[1]);
  pid_t helper = -1;
  ASSERT_EQ(read(report[0], &helper, sizeof helper), static_cast<ssize_t>(sizeof helper));
  close(report[0]);
  ASSERT_GT(helper, 0);
  EXPECT_TRUE(isProcessAlive(helper));
  kill(program, SIGKILL);
  waitpid(program, nullptr, 0);
  EXPECT_TRUE(test::endsSoon(helper));
}

TEST_F(RightsClientTest, ThreadsAskAtTheSameTime) {
  GrantedHelper granted;
  ASSERT_TRUE(granted.ok());
  Fd listener = test::tcpListener("127.0.0.1");
  Fd udp = test::udpSocket("127.0.0.1");
  const uint64_t tcpInode = inodeOf(listener.get());
  const uint64_t udpInode = inodeOf(udp.get());
  const pid_t root = getpid();
  EXPECT_EQ(asNobody([&] {
              close(listener.get());  // the forked copies: root's alone hold them
              close(udp.get());
              RightsClient client({granted.path()});
              std::atomic<int> wrong{0};
              std::vector<std::thread> threads;
              for (int t = 0; t < 4; ++t) {
                threads.emplace_back([&, t] {
                  for (int i = 0; i < 50; ++i) {
                    // Posted requests mingle with the exchanges without being answered.
                    rights::DestroyTcpRequest nothing;
                    nothing.family = AF_INET;
                    nothing.localPort = 9;
                    nothing.remotePort = 9;
                    nothing.local[0] = nothing.remote[0] = 10;
                    nothing.local[3] = nothing.remote[3] = static_cast<uint8_t>(t + 1);
                    client.destroyTcp(nothing);
                    const bool tcp = (i + t) % 2 == 0;
                    uint64_t inodes[2] = {tcp ? tcpInode : udpInode, 1};
                    int32_t pids[2] = {-5, -5};
                    if (!client.findOwners(tcp ? IPPROTO_TCP : IPPROTO_UDP, inodes, pids) ||
                        pids[0] != root || pids[1] != 0) {
                      ++wrong;
                    }
                  }
                });
              }
              for (std::thread& thread : threads) {
                thread.join();
              }
              return wrong == 0 ? std::string() : std::to_string(wrong.load()) + " wrong";
            }),
            "");
}

}  // namespace
}  // namespace s::platform

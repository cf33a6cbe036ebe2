#include <arpa/inet.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "platform/linux/ProcNetSource.h"
#include "platform/linux/SockDiagSource.h"
#include "platform/linux/SocketOwners.h"
#include "platform/linux/SocketTable.h"
#include "tests/platform/linux/Sockets.h"

namespace s::platform {
namespace {

using test::Fd;
using test::ipv4;
using test::localPort;
using test::rowOf;
using test::rowsOf;
using test::rowWithEndpoints;

const uint32_t kLoopback = ipv4("127.0.0.1");

std::vector<SocketRow> readTable(Protocol protocol,
                                 SocketTable::Source source = SocketTable::Source::Netlink) {
  SocketTable table(source);
  std::vector<SocketRow> rows;
  EXPECT_TRUE(table.read(protocol, rows)) << std::strerror(errno);
  return rows;
}

// Waits until the kernel has taken the peer's FIN, so the states below are settled.
void waitForEof(int fd) {
  pollfd wait{fd, POLLIN | POLLRDHUP, 0};
  poll(&wait, 1, 2000);
}

class SocketTableTest : public ::testing::TestWithParam<SocketTable::Source> {};

TEST_P(SocketTableTest, TcpStatesOwnersAndTimeWait) {
  Fd listener = test::tcpListener("127.0.0.1");
  uint16_t port = localPort(listener.get());
  Fd client = test::tcpConnect("127.0.0.1", port);
  Fd server = test::tcpAccept(listener.get());
  // A second pair whose client closes first: its server side sits in CLOSE_WAIT.
  Fd closingClient = test::tcpConnect("127.0.0.1", port);
  Fd closeWait = test::tcpAccept(listener.get());
  uint16_t closingPort = localPort(closingClient.get());
  closingClient.reset();
  waitForEof(closeWait.get());
  // A third pair closed on both sides, client first: the client is left in TIME_WAIT.
  Fd timeWaitClient = test::tcpConnect("127.0.0.1", port);
  Fd timeWaitServer = test::tcpAccept(listener.get());
  uint16_t timeWaitPort = localPort(timeWaitClient.get());
  timeWaitClient.reset();
  waitForEof(timeWaitServer.get());
  timeWaitServer.reset();

  std::vector<SocketRow> rows = readTable(Protocol::Tcp, GetParam());
  const SocketRow* listening = rowOf(rows, listener);
  ASSERT_NE(listening, nullptr);
  EXPECT_EQ(listening->state, kTcpListening);
  EXPECT_EQ(listening->localAddress, kLoopback);
  EXPECT_EQ(listening->localPort, port);
  EXPECT_EQ(listening->remoteAddress, 0U);
  EXPECT_EQ(listening->pid, getpid());
  EXPECT_EQ(listening->uid, getuid());

  const SocketRow* outgoing = rowOf(rows, client);
  ASSERT_NE(outgoing, nullptr);
  EXPECT_EQ(outgoing->state, kTcpEstablished);
  EXPECT_EQ(outgoing->localAddress, kLoopback);
  EXPECT_EQ(outgoing->localPort, localPort(client.get()));
  EXPECT_EQ(outgoing->remoteAddress, kLoopback);
  EXPECT_EQ(outgoing->remotePort, port);
  EXPECT_EQ(outgoing->pid, getpid());

  const SocketRow* incoming = rowOf(rows, server);
  ASSERT_NE(incoming, nullptr);
  EXPECT_EQ(incoming->state, kTcpEstablished);
  EXPECT_EQ(incoming->localPort, port);
  EXPECT_EQ(incoming->remotePort, localPort(client.get()));
  EXPECT_EQ(incoming->pid, getpid());
  const SocketRow* closing = rowOf(rows, closeWait);
  ASSERT_NE(closing, nullptr);
  EXPECT_EQ(closing->state, kTcpCloseWait);
  EXPECT_EQ(closing->remotePort, closingPort);
  EXPECT_EQ(closing->pid, getpid());

  // Closed sockets have no inode left: their rows are found by their endpoints.
  const SocketRow* timeWait = rowWithEndpoints(rows, kLoopback, timeWaitPort, kLoopback, port);
  ASSERT_NE(timeWait, nullptr);
  EXPECT_EQ(timeWait->state, kTcpTimeWait);
  EXPECT_EQ(timeWait->inode, 0U);
  EXPECT_EQ(timeWait->pid, 0);
  const SocketRow* finWait = rowWithEndpoints(rows, kLoopback, closingPort, kLoopback, port);
  ASSERT_NE(finWait, nullptr);
  // FIN_WAIT1 until the peer's acknowledgement has been processed.
  EXPECT_TRUE(finWait->state == kTcpFinWait1 || finWait->state == kTcpFinWait2) << finWait->state;
}

TEST_P(SocketTableTest, UdpEndpoints) {
  Fd bound = test::udpSocket("127.0.0.1");
  Fd any = test::udpSocket("0.0.0.0");
  Fd connected = test::udpSocket("127.0.0.1");
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(localPort(bound.get()));
  to.sin_addr.s_addr = kLoopback;
  ASSERT_EQ(connect(connected.get(), reinterpret_cast<sockaddr*>(&to), sizeof(to)), 0);

  std::vector<SocketRow> rows = readTable(Protocol::Udp, GetParam());
  const SocketRow* boundRow = rowOf(rows, bound);
  ASSERT_NE(boundRow, nullptr);
  EXPECT_EQ(boundRow->state, 0);
  EXPECT_EQ(boundRow->localAddress, kLoopback);
  EXPECT_EQ(boundRow->localPort, localPort(bound.get()));
  EXPECT_EQ(boundRow->pid, getpid());
  const SocketRow* anyRow = rowOf(rows, any);
  ASSERT_NE(anyRow, nullptr);
  EXPECT_EQ(anyRow->localAddress, 0U);
  EXPECT_EQ(anyRow->pid, getpid());
  const SocketRow* connectedRow = rowOf(rows, connected);
  ASSERT_NE(connectedRow, nullptr);
  EXPECT_EQ(connectedRow->remoteAddress, kLoopback);
  EXPECT_EQ(connectedRow->remotePort, localPort(bound.get()));
}

TEST_P(SocketTableTest, DualStackSocketsAreOneRowAndTheirConnectionsKeepTheirFamily) {
  const Ipv6Bytes any = test::ipv6("::");
  const Ipv6Bytes loopback6 = test::ipv6("::1");
  Fd listener = test::dualStackListener();
  ASSERT_GE(listener.get(), 0);
  uint16_t port = localPort(listener.get());
  Fd client4 = test::tcpConnect("127.0.0.1", port);
  Fd server4 = test::tcpAccept(listener.get());
  Fd client6 = test::tcpConnect6("::1", port);
  Fd server6 = test::tcpAccept(listener.get());
  ASSERT_GE(server6.get(), 0);
  // An IPv6-only wildcard listener beside an IPv4 one on the same port, as servers that listen
  // on both families apart do.
  Fd v6Only = test::ipv6Socket(SOCK_STREAM, "::", true);
  uint16_t apart = localPort(v6Only.get());
  Fd v4Beside = test::tcpListener("0.0.0.0", apart);
  ASSERT_GE(v4Beside.get(), 0);

  // Each socket is one row: the listener, both ends of each connection.
  std::vector<SocketRow> rows = readTable(Protocol::Tcp, GetParam());
  const SocketRow* dual = rowOf(rows, listener);
  ASSERT_NE(dual, nullptr);
  EXPECT_EQ(dual->family, SocketFamily::DualStack);
  EXPECT_EQ(dual->localAddress6, any);
  EXPECT_EQ(dual->localPort, port);
  EXPECT_EQ(dual->state, kTcpListening);
  EXPECT_EQ(dual->pid, getpid());
  // Reached over IPv4, the accepted socket's mapped addresses make an IPv4 row.
  const SocketRow* accepted4 = rowOf(rows, server4);
  ASSERT_NE(accepted4, nullptr);
  EXPECT_EQ(accepted4->family, SocketFamily::Ipv4);
  EXPECT_EQ(accepted4->localAddress, kLoopback);
  EXPECT_EQ(accepted4->localPort, port);
  EXPECT_EQ(accepted4->remoteAddress, kLoopback);
  EXPECT_EQ(accepted4->remotePort, localPort(client4.get()));
  EXPECT_EQ(accepted4->pid, getpid());
  const SocketRow* outgoing4 = rowOf(rows, client4);
  ASSERT_NE(outgoing4, nullptr);
  EXPECT_EQ(outgoing4->family, SocketFamily::Ipv4);
  EXPECT_EQ(outgoing4->remotePort, port);
  const SocketRow* accepted6 = rowOf(rows, server6);
  ASSERT_NE(accepted6, nullptr);
  EXPECT_EQ(accepted6->family, SocketFamily::Ipv6);
  EXPECT_EQ(accepted6->state, kTcpEstablished);
  EXPECT_EQ(accepted6->localAddress6, loopback6);
  EXPECT_EQ(accepted6->localPort, port);
  EXPECT_EQ(accepted6->remoteAddress6, loopback6);
  EXPECT_EQ(accepted6->remotePort, localPort(client6.get()));
  EXPECT_EQ(accepted6->pid, getpid());
  const SocketRow* outgoing6 = rowOf(rows, client6);
  ASSERT_NE(outgoing6, nullptr);
  EXPECT_EQ(outgoing6->family, SocketFamily::Ipv6);
  EXPECT_EQ(outgoing6->localAddress6, loopback6);
  EXPECT_EQ(outgoing6->remotePort, port);

  const SocketRow* onlyRow = rowOf(rows, v6Only);
  ASSERT_NE(onlyRow, nullptr);
  EXPECT_EQ(onlyRow->family, SocketFamily::Ipv6);
  EXPECT_EQ(onlyRow->localAddress6, any);
  const SocketRow* besideRow = rowOf(rows, v4Beside);
  ASSERT_NE(besideRow, nullptr);
  EXPECT_EQ(besideRow->family, SocketFamily::Ipv4);
  EXPECT_EQ(besideRow->localPort, apart);
}

TEST_P(SocketTableTest, DualStackAndIpv6UdpEndpoints) {
  Fd dual = test::ipv6Socket(SOCK_DGRAM, "::", false);
  Fd onlyLoopback = test::ipv6Socket(SOCK_DGRAM, "::1", true);
  ASSERT_GE(dual.get(), 0);
  ASSERT_GE(onlyLoopback.get(), 0);
  // A dual-stack socket connected to an IPv4 peer: its addresses are IPv4-mapped.
  Fd peer = test::udpSocket("127.0.0.1");
  Fd toIpv4 = test::ipv6Socket(SOCK_DGRAM, "::", false);
  sockaddr_in6 mapped{};
  mapped.sin6_family = AF_INET6;
  mapped.sin6_port = htons(localPort(peer.get()));
  inet_pton(AF_INET6, "::ffff:127.0.0.1", &mapped.sin6_addr);
  ASSERT_EQ(connect(toIpv4.get(), reinterpret_cast<sockaddr*>(&mapped), sizeof mapped), 0);
  std::vector<SocketRow> rows = readTable(Protocol::Udp, GetParam());
  const SocketRow* dualRow = rowOf(rows, dual);
  ASSERT_NE(dualRow, nullptr);
  EXPECT_EQ(dualRow->family, SocketFamily::DualStack);
  EXPECT_EQ(dualRow->localAddress6, test::ipv6("::"));
  EXPECT_EQ(dualRow->pid, getpid());
  const SocketRow* loopbackRow = rowOf(rows, onlyLoopback);
  ASSERT_NE(loopbackRow, nullptr);
  EXPECT_EQ(loopbackRow->family, SocketFamily::Ipv6);
  EXPECT_EQ(loopbackRow->localAddress6, test::ipv6("::1"));
  EXPECT_EQ(loopbackRow->state, 0);
  EXPECT_EQ(loopbackRow->pid, getpid());
  const SocketRow* ipv4Row = rowOf(rows, toIpv4);
  ASSERT_NE(ipv4Row, nullptr);
  EXPECT_EQ(ipv4Row->family, SocketFamily::Ipv4);
  EXPECT_EQ(ipv4Row->localAddress, kLoopback);
  EXPECT_EQ(ipv4Row->remoteAddress, kLoopback);
  EXPECT_EQ(ipv4Row->remotePort, localPort(peer.get()));
  EXPECT_EQ(ipv4Row->pid, getpid());
}

TEST(SocketSources, NetlinkTellsAnIpv6OnlyWildcardSocketFromADualStackOne) {
  // The /proc tables cannot: alone, an IPv6-only wildcard socket there looks dual-stack.
  Fd v6Only = test::ipv6Socket(SOCK_STREAM, "::", true);
  Fd dual = test::ipv6Socket(SOCK_STREAM, "::", false);
  std::vector<SocketRow> rows = readTable(Protocol::Tcp);
  const SocketRow* onlyRow = rowOf(rows, v6Only);
  const SocketRow* dualRow = rowOf(rows, dual);
  ASSERT_NE(onlyRow, nullptr);
  ASSERT_NE(dualRow, nullptr);
  EXPECT_EQ(onlyRow->family, SocketFamily::Ipv6);
  EXPECT_EQ(dualRow->family, SocketFamily::DualStack);
}

INSTANTIATE_TEST_SUITE_P(Sources, SocketTableTest,
                         ::testing::Values(SocketTable::Source::Netlink,
                                           SocketTable::Source::ProcNet),
                         [](const auto& info) {
                           return info.param == SocketTable::Source::Netlink ? "Netlink"
                                                                             : "ProcNet";
                         });

TEST(SocketSources, NetlinkAndProcAgreeOnTheSameSockets) {
  std::vector<Fd> keep;
  keep.push_back(test::tcpListener("127.0.0.1"));
  uint16_t port = localPort(keep.back().get());
  for (int i = 0; i < 20; ++i) {
    keep.push_back(test::tcpConnect("127.0.0.1", port));
    keep.push_back(test::tcpAccept(keep.front().get()));
  }
  keep.push_back(test::dualStackListener());
  const int dual = keep.back().get();
  keep.push_back(test::tcpConnect("127.0.0.1", localPort(dual)));
  keep.push_back(test::tcpAccept(dual));
  keep.push_back(test::tcpConnect6("::1", localPort(dual)));
  keep.push_back(test::tcpAccept(dual));
  keep.push_back(test::udpSocket("127.0.0.1"));
  keep.push_back(test::ipv6Socket(SOCK_DGRAM, "::", false));
  keep.push_back(test::ipv6Socket(SOCK_DGRAM, "::1", true));
  // Only our own sockets: others' (other tests run alongside) may come and go between the reads.
  std::set<uint64_t> ours;
  for (const Fd& fd : keep) {
    struct stat st {};
    ASSERT_EQ(fstat(fd.get(), &st), 0);
    ours.insert(st.st_ino);
  }
  using Fields = std::tuple<int32_t, SocketFamily, uint32_t, Ipv6Bytes, uint16_t, uint32_t,
                            Ipv6Bytes, uint16_t, uint64_t, uint32_t, int32_t>;
  // Field by field (the struct has padding) and in one order (the sources may differ).
  auto fields = [&ours](const std::vector<SocketRow>& rows) {
    std::set<Fields> out;
    for (const SocketRow& r : rows) {
      if (ours.contains(r.inode)) {
        out.emplace(r.state, r.family, r.localAddress, r.localAddress6, r.localPort,
                    r.remoteAddress, r.remoteAddress6, r.remotePort, r.inode, r.uid, r.pid);
      }
    }
    return out;
  };
  auto describe = [](const std::set<Fields>& rows) {
    std::string text;
    for (const Fields& f : rows) {
      text += " (state " + std::to_string(std::get<0>(f)) + ", port " +
              std::to_string(std::get<4>(f)) + ", inode " + std::to_string(std::get<8>(f)) + ")";
    }
    return text;
  };

  SockDiagSource diag;
  ProcNetSource procNet;
  std::size_t seen = 0;
  for (Protocol protocol : {Protocol::Tcp, Protocol::Udp}) {
    std::vector<SocketRow> fromDiag;
    std::vector<SocketRow> fromProc;
    ASSERT_TRUE(diag.read(protocol, ByteCounts::Without, fromDiag)) << std::strerror(errno);
    ASSERT_TRUE(procNet.read(protocol, ByteCounts::Without, fromProc)) << std::strerror(errno);
    const std::set<Fields> a = fields(fromDiag);
    const std::set<Fields> b = fields(fromProc);
    std::set<Fields> onlyDiag;
    std::set<Fields> onlyProc;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(),
                        std::inserter(onlyDiag, onlyDiag.end()));
    std::set_difference(b.begin(), b.end(), a.begin(), a.end(),
                        std::inserter(onlyProc, onlyProc.end()));
    EXPECT_TRUE(onlyDiag.empty() && onlyProc.empty())
        << "only netlink:" << describe(onlyDiag) << "\nonly /proc:" << describe(onlyProc);
    seen += a.size();
  }
  // Every socket of ours, each once.
  EXPECT_EQ(seen, keep.size());
}

TEST(SocketSources, ParsesProcNetLines) {
  struct Case {
    const char* line;
    bool ipv6;
    bool parsed;
    const char* local;
    uint16_t localPort;
    int32_t state;
    uint64_t inode;
  };
  const Case cases[] = {
      {"   0: 0100007F:0CEA 00000000:0000 0A 00000000:00000000 00:00000000 00000000  1000 "
       "       0 31412 1 0000000000000000 100 0 0 10 0",
       false, true, "127.0.0.1", 3306, kTcpListening, 31412},
      {"  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  "
       "timeout inode",
       false, false, "0.0.0.0", 0, 0, 0},
      {"   3: 0000000000000000FFFF00000100007F:1F90 0000000000000000FFFF00000200007F:D431 01 "
       "00000000:00000000 00:00000000 00000000     0        0 777 1 0 20 4 30 10 -1",
       true, true, "127.0.0.1", 8080, kTcpEstablished, 777},
      {"   4: 00000000000000000000000001000000:0016 00000000000000000000000000000000:0000 0A "
       "00000000:00000000 00:00000000 00000000     0        0 5 1 0 100 0 0 10 0",
       true, true, "::1", 22, kTcpListening, 5},
      {"   5: 0100007F:0CEA 00000000:00", false, false, "0.0.0.0", 0, 0, 0},
  };
  for (const Case& c : cases) {
    SocketRow row;
    bool parsed =
        parseProcNetLine(c.line, c.line + std::strlen(c.line), Protocol::Tcp, c.ipv6, row);
    ASSERT_EQ(parsed, c.parsed) << c.line;
    if (parsed && row.family != SocketFamily::Ipv4) {
      EXPECT_EQ(row.localAddress6, test::ipv6(c.local)) << c.line;
      EXPECT_EQ(row.family, SocketFamily::Ipv6) << c.line;
    } else if (parsed) {
      EXPECT_EQ(row.localAddress, ipv4(c.local)) << c.line;
    }
    if (parsed) {
      EXPECT_EQ(row.localPort, c.localPort) << c.line;
      EXPECT_EQ(row.state, c.state) << c.line;
      EXPECT_EQ(row.inode, c.inode) << c.line;
    }
  }
}

// Makes socket(AF_NETLINK, ...) fail with EACCES in this process, as a sandbox would.
bool refuseNetlink() {
  sock_filter program[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_socket, 0, 3),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[0])),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AF_NETLINK, 0, 1),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EACCES),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
  };
  sock_fprog filter{static_cast<unsigned short>(sizeof(program) / sizeof(program[0])), program};
  return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
         prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) == 0;
}

TEST(SocketTableFallback, RefusedNetlinkFallsBackToProc) {
  int status = 0;
  std::vector<SocketRow> rows = test::rowsFromChild(
      [](int out) {
        if (!refuseNetlink()) {
          _exit(2);
        }
        Fd own = test::tcpListener("127.0.0.1");
        SocketTable table;
        std::vector<SocketRow> read;
        if (!table.read(Protocol::Tcp, read) || table.source() != SocketTable::Source::ProcNet) {
          _exit(3);
        }
        const SocketRow* row = rowOf(read, own);
        if (row == nullptr) {
          _exit(4);
        }
        SocketRow found = *row;
        found.remoteAddress = static_cast<uint32_t>(getpid());  // for the parent to compare
        test::sendRows(out, {found});
        _exit(0);
      },
      status);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0) << "2: no seccomp, 3: no fallback, 4: row missing";
  ASSERT_EQ(rows.size(), 1U);
  EXPECT_EQ(rows[0].state, kTcpListening);
  EXPECT_EQ(rows[0].pid, static_cast<int32_t>(rows[0].remoteAddress));
}

// Writes `size` bytes on `fd` and waits until the peer `to` holds them all.
void transfer(int fd, int to, size_t size) {
  std::string bytes(size, 'b');
  ASSERT_EQ(send(fd, bytes.data(), size, 0), static_cast<ssize_t>(size));
  std::string into(size, 0);
  ASSERT_EQ(recv(to, into.data(), size, MSG_WAITALL), static_cast<ssize_t>(size));
}

TEST(TcpByteCounts, AnyUserReadsEveryConnectionsPayloadBytesWithTheDump) {
  Fd listener4 = test::tcpListener("127.0.0.1");
  Fd client4 = test::tcpConnect("127.0.0.1", localPort(listener4.get()));
  Fd server4 = test::tcpAccept(listener4.get());
  Fd listener6 = test::ipv6Socket(SOCK_STREAM, "::1", true);
  Fd client6 = test::tcpConnect6("::1", localPort(listener6.get()));
  Fd server6 = test::tcpAccept(listener6.get());
  transfer(client4.get(), server4.get(), 1000);
  transfer(server4.get(), client4.get(), 300);
  transfer(client6.get(), server6.get(), 70'000);
  transfer(server6.get(), client6.get(), 5);
  // The peer's FIN is no payload: the server side in CLOSE_WAIT still counts 70,000.
  shutdown(client6.get(), SHUT_WR);
  waitForEof(server6.get());
  struct Expected {
    int fd;
    uint64_t received;
    uint64_t sent;
  };
  const Expected expected[] = {{client4.get(), 300, 1000},
                               {server4.get(), 1000, 300},
                               {client6.get(), 5, 70'000},
                               {server6.get(), 70'000, 5}};
  std::set<uint64_t> inodes;
  for (const Expected& e : expected) {
    struct stat st {};
    ASSERT_EQ(fstat(e.fd, &st), 0);
    inodes.insert(st.st_ino);
  }
  int status = 0;
  std::vector<SocketRow> rows = test::rowsFromChild(
      [&](int out) {
        if (!test::becomeNobody()) {
          _exit(2);
        }
        SocketTable table;
        std::vector<SocketRow> read;
        if (!table.read(Protocol::Tcp, read, ByteCounts::FromTcpInfo)) {
          _exit(3);
        }
        std::vector<SocketRow> mine;
        for (const SocketRow& row : read) {
          if (inodes.contains(row.inode)) {
            mine.push_back(row);
          }
        }
        test::sendRows(out, mine);
        _exit(0);
      },
      status);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0) << "2: could not drop rights, 3: no table";
  ASSERT_EQ(rows.size(), 4U);
  for (const Expected& e : expected) {
    struct stat st {};
    fstat(e.fd, &st);
    auto row = std::find_if(rows.begin(), rows.end(),
                            [&](const SocketRow& r) { return r.inode == st.st_ino; });
    ASSERT_NE(row, rows.end());
    EXPECT_EQ(row->pid, kOwnerUnseen) << "root's socket, seen by nobody";
    ASSERT_TRUE(row->hasByteCounts);
    EXPECT_EQ(row->bytesReceived, e.received) << "inode " << row->inode;
    EXPECT_EQ(row->bytesSent, e.sent) << "inode " << row->inode;
  }
  // Not asked for, they do not come.
  std::vector<SocketRow> plain = readTable(Protocol::Tcp);
  for (const SocketRow& row : plain) {
    EXPECT_FALSE(row.hasByteCounts);
  }
}

TEST(SocketOwnersTest, KnownInodesCostNoScanAndNewOnesAreFoundAtTheirKnownOwnerFirst) {
  Fd listener = test::tcpListener("127.0.0.1");
  uint16_t port = localPort(listener.get());
  SockDiagSource diag;
  SocketOwners owners;
  Fd client;
  Fd server;
  // Only this test's sockets, so that other processes' new sockets cost no scans here.
  auto ours = [&] {
    std::vector<SocketRow> rows;
    EXPECT_TRUE(diag.read(Protocol::Tcp, ByteCounts::Without, rows));
    return rowsOf(rows, {&listener, &client, &server});
  };
  std::vector<SocketRow> rows = ours();
  owners.assign(Protocol::Tcp, rows);
  ASSERT_EQ(rows.size(), 1U);
  EXPECT_EQ(rows[0].pid, getpid());
  uint64_t scanned = owners.scannedProcesses();
  EXPECT_GE(scanned, 1U);

  rows = ours();
  owners.assign(Protocol::Tcp, rows);
  EXPECT_EQ(owners.scannedProcesses(), scanned);
  EXPECT_EQ(rows[0].pid, getpid());

  client = test::tcpConnect("127.0.0.1", port);
  server = test::tcpAccept(listener.get());
  rows = ours();
  owners.assign(Protocol::Tcp, rows);
  ASSERT_EQ(rows.size(), 3U);
  for (const SocketRow& row : rows) {
    EXPECT_EQ(row.pid, getpid());
  }
  // This process owned a socket already: it is the one folder read.
  EXPECT_EQ(owners.scannedProcesses(), scanned + 1);
}

TEST(SocketOwnersTest, DescriptorReusedByTheOtherProtocolIsReadAgain) {
  SocketTable table;
  std::vector<SocketRow> rows;
  Fd tcp = test::tcpListener("127.0.0.1");
  int fd = tcp.get();
  ASSERT_TRUE(table.read(Protocol::Tcp, rows));
  ASSERT_TRUE(table.read(Protocol::Udp, rows));
  // The UDP socket takes the closed TCP socket's descriptor before the next TCP reading.
  tcp.reset();
  Fd udp = test::udpSocket("127.0.0.1");
  ASSERT_EQ(udp.get(), fd);
  ASSERT_TRUE(table.read(Protocol::Udp, rows));
  const SocketRow* row = rowOf(rows, udp);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->pid, getpid());
}

TEST(SocketOwnersTest, InheritedSocketFollowsItsNewOwnerWhenTheOldOneEnds) {
  // A middle process opens a listener, is seen as its owner, hands it to its own child and ends.
  int toParent[2];
  int toMiddle[2];
  int holderLife[2];
  ASSERT_EQ(pipe(toParent), 0);
  ASSERT_EQ(pipe(toMiddle), 0);
  ASSERT_EQ(pipe(holderLife), 0);
  pid_t middle = fork();
  if (middle == 0) {
    close(holderLife[1]);
    Fd listener = test::tcpListener("127.0.0.1");
    uint16_t port = localPort(listener.get());
    char go = 0;
    if (write(toParent[1], &port, sizeof(port)) != sizeof(port) || read(toMiddle[0], &go, 1) != 1) {
      _exit(1);
    }
    if (fork() == 0) {
      while (read(holderLife[0], &go, 1) > 0) {
      }
      _exit(0);
    }
    _exit(0);
  }
  close(holderLife[0]);
  uint16_t port = 0;
  ASSERT_EQ(read(toParent[0], &port, sizeof(port)), static_cast<ssize_t>(sizeof(port)));
  SocketTable table;
  std::vector<SocketRow> rows;
  ASSERT_TRUE(table.read(Protocol::Tcp, rows));
  // The listener is another process's: its row is found by its endpoints.
  const SocketRow* row = rowWithEndpoints(rows, kLoopback, port, 0, 0);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->pid, middle);

  char go = 1;
  ASSERT_EQ(write(toMiddle[1], &go, 1), 1);
  int status = 0;
  waitpid(middle, &status, 0);
  ASSERT_TRUE(table.read(Protocol::Tcp, rows));
  row = rowWithEndpoints(rows, kLoopback, port, 0, 0);
  ASSERT_NE(row, nullptr);
  EXPECT_GT(row->pid, 0);
  EXPECT_NE(row->pid, middle);
  EXPECT_NE(row->pid, getpid());
  for (int fd : {toParent[0], toParent[1], toMiddle[0], toMiddle[1], holderLife[1]}) {
    close(fd);
  }
}

TEST(SocketDestroy, EndsAnEstablishedLoopbackConnection) {
  Fd listener = test::tcpListener("127.0.0.1");
  uint16_t port = localPort(listener.get());
  Fd client = test::tcpConnect("127.0.0.1", port);
  Fd server = test::tcpAccept(listener.get());
  uint16_t clientPort = localPort(client.get());
  if (!SockDiagSource::destroyTcp(kLoopback, clientPort, kLoopback, port)) {
    int error = errno;
    if (error == EPERM || error == EOPNOTSUPP) {
      GTEST_SKIP() << "the kernel or the rights refuse SOCK_DESTROY: " << std::strerror(error);
    }
    FAIL() << std::strerror(error);
  }
  char byte = 0;
  EXPECT_EQ(recv(client.get(), &byte, 1, MSG_DONTWAIT), -1);
  EXPECT_EQ(errno, ECONNABORTED);
  std::vector<SocketRow> rows = readTable(Protocol::Tcp);
  const SocketRow* row = rowOf(rows, client);
  EXPECT_TRUE(row == nullptr || row->state != kTcpEstablished);

  // No such connection any more.
  EXPECT_FALSE(SockDiagSource::destroyTcp(kLoopback, clientPort, kLoopback, port));
  EXPECT_EQ(errno, ENOENT);
}

TEST(SocketDestroy, EndsAConnectionAcceptedOnADualStackListener) {
  Fd listener = test::dualStackListener();
  uint16_t port = localPort(listener.get());
  Fd client = test::tcpConnect("127.0.0.1", port);
  Fd server = test::tcpAccept(listener.get());
  uint16_t clientPort = localPort(client.get());
  if (!SockDiagSource::destroyTcp(kLoopback, port, kLoopback, clientPort)) {
    int error = errno;
    if (error == EPERM || error == EOPNOTSUPP) {
      GTEST_SKIP() << "the kernel or the rights refuse SOCK_DESTROY: " << std::strerror(error);
    }
    FAIL() << std::strerror(error);
  }
  char byte = 0;
  EXPECT_EQ(recv(server.get(), &byte, 1, MSG_DONTWAIT), -1);
  EXPECT_EQ(errno, ECONNABORTED);
}

TEST(SocketDestroy, EndsAnIpv6Connection) {
  Fd listener = test::ipv6Socket(SOCK_STREAM, "::1", true);
  uint16_t port = localPort(listener.get());
  Fd client = test::tcpConnect6("::1", port);
  Fd server = test::tcpAccept(listener.get());
  const Ipv6Bytes loopback = test::ipv6("::1");
  uint16_t clientPort = localPort(client.get());
  if (!SockDiagSource::destroyTcp6(loopback, clientPort, loopback, port)) {
    int error = errno;
    if (error == EPERM || error == EOPNOTSUPP) {
      GTEST_SKIP() << "the kernel or the rights refuse SOCK_DESTROY: " << std::strerror(error);
    }
    FAIL() << std::strerror(error);
  }
  char byte = 0;
  EXPECT_EQ(recv(client.get(), &byte, 1, MSG_DONTWAIT), -1);
  EXPECT_EQ(errno, ECONNABORTED);
  EXPECT_FALSE(SockDiagSource::destroyTcp6(loopback, clientPort, loopback, port));
  EXPECT_EQ(errno, ENOENT);
}

TEST(Unprivileged, OwnersOfOtherUsersSocketsAreUnseenAndDestroyIsRefused) {
  Fd listener = test::tcpListener("127.0.0.1");
  uint16_t port = localPort(listener.get());
  Fd client = test::tcpConnect("127.0.0.1", port);
  Fd server = test::tcpAccept(listener.get());
  uint16_t clientPort = localPort(client.get());
  // The child holds none of these descriptors.
  const uint64_t listenerInode = test::inodeOf(listener.get());
  const uint64_t clientInode = test::inodeOf(client.get());
  const uint64_t serverInode = test::inodeOf(server.get());
  int status = 0;
  std::vector<SocketRow> rows = test::rowsFromChild(
      [&](int out) {
        if (!test::becomeNobody()) {
          _exit(2);
        }
        if (SockDiagSource::destroyTcp(kLoopback, clientPort, kLoopback, port) || errno != EPERM) {
          _exit(3);
        }
        Fd own = test::tcpListener("127.0.0.1");
        SocketTable table;
        std::vector<SocketRow> read;
        if (!table.read(Protocol::Tcp, read)) {
          _exit(4);
        }
        std::vector<SocketRow> mine;
        for (uint64_t inode : {listenerInode, clientInode, serverInode, test::inodeOf(own.get())}) {
          const SocketRow* row = test::rowWithInode(read, inode);
          if (row != nullptr) {
            mine.push_back(*row);
          }
        }
        test::sendRows(out, mine);
        _exit(0);
      },
      status);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0) << "2: could not drop rights, 3: destroy not refused, "
                                       "4: no table";
  // Listener, two ends of the connection, and the child's own listener.
  ASSERT_EQ(rows.size(), 4U);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(rows[i].pid, kOwnerUnseen);
    EXPECT_EQ(rows[i].uid, 0U);
  }
  EXPECT_GT(rows[3].pid, 0);
  EXPECT_NE(rows[3].pid, getpid());
  EXPECT_EQ(rows[3].uid, 65534U);
}

TEST(NetworkNamespace, SynSentToASilentAddress) {
  // The client's namespace routes 10.77.1.0/24 to a second namespace that drops it.
  test::Netns client;
  test::Netns sink;
  ASSERT_TRUE(client.ok() && sink.ok());
  ASSERT_TRUE(test::run({"ip", "link", "add", "nvta", "netns", client.name(), "type", "veth",
                         "peer", "name", "nvtb", "netns", sink.name()}) == 0);
  ASSERT_TRUE(client.ip({"addr", "add", "10.77.0.1/24", "dev", "nvta"}));
  ASSERT_TRUE(client.ip({"link", "set", "nvta", "up"}));
  ASSERT_TRUE(client.ip({"route", "add", "10.77.1.0/24", "via", "10.77.0.2"}));
  ASSERT_TRUE(sink.ip({"addr", "add", "10.77.0.2/24", "dev", "nvtb"}));
  ASSERT_TRUE(sink.ip({"link", "set", "nvtb", "up"}));
  ASSERT_EQ(
      test::run({"ip", "netns", "exec", sink.name(), "sysctl", "-qw", "net.ipv4.ip_forward=1"}), 0);
  ASSERT_TRUE(sink.ip({"route", "add", "blackhole", "10.77.1.0/24"}));

  int status = 0;
  std::vector<SocketRow> rows = test::rowsFromChild(
      [&](int out) {
        if (!client.enter()) {
          _exit(2);
        }
        Fd fd(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(80);
        to.sin_addr.s_addr = ipv4("10.77.1.5");
        if (connect(fd.get(), reinterpret_cast<sockaddr*>(&to), sizeof(to)) == 0 ||
            errno != EINPROGRESS) {
          _exit(3);
        }
        std::vector<SocketRow> read;
        for (SocketTable::Source source :
             {SocketTable::Source::Netlink, SocketTable::Source::ProcNet}) {
          SocketTable table(source);
          if (!table.read(Protocol::Tcp, read)) {
            _exit(4);
          }
          test::sendRows(out, read);
        }
        _exit(0);
      },
      status);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0) << "2: setns, 3: connect, 4: no table";
  // Both readings see only the namespace's one socket.
  ASSERT_EQ(rows.size(), 2U);
  for (const SocketRow& row : rows) {
    EXPECT_EQ(row.state, kTcpSynSent);
    EXPECT_EQ(row.localAddress, ipv4("10.77.0.1"));
    EXPECT_EQ(row.remoteAddress, ipv4("10.77.1.5"));
    EXPECT_EQ(row.remotePort, 80);
    EXPECT_GT(row.pid, 0);
    EXPECT_NE(row.pid, getpid());
  }
}

}  // namespace
}  // namespace s::platform

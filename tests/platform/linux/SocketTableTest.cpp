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
using test::findRow;
using test::ipv4;
using test::localPort;
using test::rowsWithPort;

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
  const SocketRow* listening = findRow(rows, kLoopback, port);
  ASSERT_NE(listening, nullptr);
  EXPECT_EQ(listening->state, kTcpListening);
  EXPECT_EQ(listening->remoteAddress, 0U);
  EXPECT_EQ(listening->pid, getpid());
  EXPECT_NE(listening->inode, 0U);
  EXPECT_EQ(listening->uid, getuid());

  const SocketRow* outgoing = findRow(rows, kLoopback, localPort(client.get()));
  ASSERT_NE(outgoing, nullptr);
  EXPECT_EQ(outgoing->state, kTcpEstablished);
  EXPECT_EQ(outgoing->remoteAddress, kLoopback);
  EXPECT_EQ(outgoing->remotePort, port);
  EXPECT_EQ(outgoing->pid, getpid());

  int established = 0;
  int closeWaits = 0;
  for (const SocketRow& row : rowsWithPort(rows, port)) {
    if (row.localPort != port || row.state == kTcpListening) {
      continue;
    }
    EXPECT_EQ(row.pid, getpid());
    if (row.remotePort == localPort(client.get())) {
      EXPECT_EQ(row.state, kTcpEstablished);
      ++established;
    } else if (row.remotePort == closingPort) {
      EXPECT_EQ(row.state, kTcpCloseWait);
      ++closeWaits;
    }
  }
  EXPECT_EQ(established, 1);
  EXPECT_EQ(closeWaits, 1);

  const SocketRow* timeWait = findRow(rows, kLoopback, timeWaitPort);
  ASSERT_NE(timeWait, nullptr);
  EXPECT_EQ(timeWait->state, kTcpTimeWait);
  EXPECT_EQ(timeWait->inode, 0U);
  EXPECT_EQ(timeWait->pid, 0);
  const SocketRow* finWait = findRow(rows, kLoopback, closingPort);
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
  const SocketRow* boundRow = findRow(rows, kLoopback, localPort(bound.get()));
  ASSERT_NE(boundRow, nullptr);
  EXPECT_EQ(boundRow->state, 0);
  EXPECT_EQ(boundRow->pid, getpid());
  const SocketRow* anyRow = findRow(rows, 0, localPort(any.get()));
  ASSERT_NE(anyRow, nullptr);
  EXPECT_EQ(anyRow->pid, getpid());
  const SocketRow* connectedRow = findRow(rows, kLoopback, localPort(connected.get()));
  ASSERT_NE(connectedRow, nullptr);
  EXPECT_EQ(connectedRow->remoteAddress, kLoopback);
  EXPECT_EQ(connectedRow->remotePort, localPort(bound.get()));
}

TEST_P(SocketTableTest, DualStackListenerReachedOverIpv4GivesIpv4Rows) {
  Fd listener = test::dualStackListener();
  ASSERT_GE(listener.get(), 0);
  uint16_t port = localPort(listener.get());
  Fd client = test::tcpConnect("127.0.0.1", port);
  Fd server = test::tcpAccept(listener.get());

  std::vector<SocketRow> rows = rowsWithPort(readTable(Protocol::Tcp, GetParam()), port);
  // The client's row and the accepted one (mapped, now IPv4); the [::] listener is IPv6 only.
  ASSERT_EQ(rows.size(), 2U);
  const SocketRow* accepted = findRow(rows, kLoopback, port);
  ASSERT_NE(accepted, nullptr);
  EXPECT_EQ(accepted->state, kTcpEstablished);
  EXPECT_EQ(accepted->remoteAddress, kLoopback);
  EXPECT_EQ(accepted->remotePort, localPort(client.get()));
  EXPECT_EQ(accepted->pid, getpid());
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
  keep.push_back(test::udpSocket("127.0.0.1"));
  // Only our own sockets: others' (other tests run alongside) may come and go between the reads.
  std::set<uint64_t> ours;
  for (const Fd& fd : keep) {
    struct stat st {};
    ASSERT_EQ(fstat(fd.get(), &st), 0);
    ours.insert(st.st_ino);
  }
  using Fields =
      std::tuple<int32_t, uint32_t, uint16_t, uint32_t, uint16_t, uint64_t, uint32_t, int32_t>;
  // Field by field (the struct has padding) and in one order (the sources may differ).
  auto fields = [&ours](const std::vector<SocketRow>& rows) {
    std::set<Fields> out;
    for (const SocketRow& r : rows) {
      if (ours.contains(r.inode)) {
        out.emplace(r.state, r.localAddress, r.localPort, r.remoteAddress, r.remotePort, r.inode,
                    r.uid, r.pid);
      }
    }
    return out;
  };
  auto describe = [](const std::set<Fields>& rows) {
    std::string text;
    for (const Fields& f : rows) {
      text += " (state " + std::to_string(std::get<0>(f)) + ", port " +
              std::to_string(std::get<2>(f)) + ", inode " + std::to_string(std::get<5>(f)) + ")";
    }
    return text;
  };

  SockDiagSource diag;
  ProcNetSource procNet;
  std::size_t seen = 0;
  for (Protocol protocol : {Protocol::Tcp, Protocol::Udp}) {
    std::vector<SocketRow> fromDiag;
    std::vector<SocketRow> fromProc;
    ASSERT_TRUE(diag.read(protocol, fromDiag)) << std::strerror(errno);
    ASSERT_TRUE(procNet.read(protocol, fromProc)) << std::strerror(errno);
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
  // Every IPv4 socket of ours but the IPv6-only dual-stack listener.
  EXPECT_EQ(seen, keep.size() - 1);
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
       true, false, "0.0.0.0", 0, 0, 0},
      {"   5: 0100007F:0CEA 00000000:00", false, false, "0.0.0.0", 0, 0, 0},
  };
  for (const Case& c : cases) {
    SocketRow row;
    bool parsed =
        parseProcNetLine(c.line, c.line + std::strlen(c.line), Protocol::Tcp, c.ipv6, row);
    ASSERT_EQ(parsed, c.parsed) << c.line;
    if (parsed) {
      EXPECT_EQ(row.localAddress, ipv4(c.local)) << c.line;
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
        const SocketRow* row = findRow(read, kLoopback, localPort(own.get()));
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

TEST(SocketOwnersTest, KnownInodesCostNoScanAndNewOnesAreFoundAtTheirKnownOwnerFirst) {
  Fd listener = test::tcpListener("127.0.0.1");
  uint16_t port = localPort(listener.get());
  SockDiagSource diag;
  SocketOwners owners;
  // Only this test's sockets, so that other processes' new sockets cost no scans here.
  auto ours = [&] {
    std::vector<SocketRow> rows;
    EXPECT_TRUE(diag.read(Protocol::Tcp, rows));
    return rowsWithPort(rows, port);
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

  Fd client = test::tcpConnect("127.0.0.1", port);
  Fd server = test::tcpAccept(listener.get());
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
  const SocketRow* row = findRow(rows, kLoopback, localPort(udp.get()));
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
  const SocketRow* row = findRow(rows, kLoopback, port);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->pid, middle);

  char go = 1;
  ASSERT_EQ(write(toMiddle[1], &go, 1), 1);
  int status = 0;
  waitpid(middle, &status, 0);
  ASSERT_TRUE(table.read(Protocol::Tcp, rows));
  row = findRow(rows, kLoopback, port);
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
  const SocketRow* row = findRow(rows, kLoopback, clientPort);
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

TEST(Unprivileged, OwnersOfOtherUsersSocketsAreUnseenAndDestroyIsRefused) {
  Fd listener = test::tcpListener("127.0.0.1");
  uint16_t port = localPort(listener.get());
  Fd client = test::tcpConnect("127.0.0.1", port);
  Fd server = test::tcpAccept(listener.get());
  uint16_t clientPort = localPort(client.get());
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
        std::vector<SocketRow> mine = rowsWithPort(read, port);
        const SocketRow* ownRow = findRow(read, kLoopback, localPort(own.get()));
        if (ownRow != nullptr) {
          mine.push_back(*ownRow);
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

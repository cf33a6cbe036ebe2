#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "framework/col/ArrayP.h"
#include "network/ConnectionTables.h"
#include "tests/platform/linux/Sockets.h"

namespace s::system::network {
namespace {

using platform::test::Fd;
using platform::test::localPort;

const uint32_t kLoopback = platform::test::ipv4("127.0.0.1");

// The records of the socket `fd`, found by its endpoints: other processes' connections may
// share a port number, even a local address and port, with this test's. A UDP record has its
// local endpoint only, a TCP record its remote port only when ESTABLISHED.
template <class Record>
std::vector<Record*> recordsOf(const col::Map<Record>& set, int fd) {
  const platform::test::Endpoints socket = platform::test::endpointsOf(fd);
  col::ArrayP<Record> all;
  set.elements(all);
  std::vector<Record*> found;
  for (Record* record : all) {
    bool ipv6 = record->getFamily() != platform::SocketFamily::Ipv4;
    if (ipv6 != socket.ipv6 || record->getLocalPort() != socket.localPort ||
        (ipv6 ? record->getLocalAddress6() != socket.local6
              : record->getLocalAddress() != socket.local)) {
      continue;
    }
    bool remote = record->getProtocol() == IConnection::kProtocolUdp ||
                  ((ipv6 ? record->getRemoteAddress6() == socket.remote6
                         : record->getRemoteAddress() == socket.remote) &&
                   (record->getRemotePort() < 0 || record->getRemotePort() == socket.remotePort));
    if (remote) {
      found.push_back(record);
    }
  }
  return found;
}

// The one record of the socket `fd`; null when there is none, or more than one.
template <class Record>
Record* recordOf(const col::Map<Record>& set, const Fd& fd) {
  std::vector<Record*> found = recordsOf(set, fd.get());
  return found.size() == 1 ? found[0] : nullptr;
}

void waitForEof(int fd) {
  pollfd wait{fd, POLLIN | POLLRDHUP, 0};
  poll(&wait, 1, 2000);
}

TEST(ConnectionTables, TcpRecordsOfRealSockets) {
  Fd listener = platform::test::tcpListener("127.0.0.1");
  int32_t port = localPort(listener.get());
  Fd client = platform::test::tcpConnect("127.0.0.1", port);
  Fd server = platform::test::tcpAccept(listener.get());
  // TIME_WAIT: ownerless, so never a record.
  Fd gone = platform::test::tcpConnect("127.0.0.1", port);
  Fd goneServer = platform::test::tcpAccept(listener.get());
  gone.reset();
  waitForEof(goneServer.get());
  goneServer.reset();

  PoolPtr<win::TcpConnectionSet> set = win::readTcpConnections();
  col::ArrayP<TcpConnection> all;
  set->elements(all);
  for (TcpConnection* record : all) {
    EXPECT_NE(record->getState(), 11) << "a TIME_WAIT record";
  }
  TcpConnection* listening = recordOf(*set, listener);
  ASSERT_NE(listening, nullptr);
  EXPECT_EQ(listening->getState(), TcpConnection::kListening);
  for (const Fd* end : {&client, &server}) {
    TcpConnection* record = recordOf(*set, *end);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->getState(), TcpConnection::kEstablished);
    EXPECT_EQ(record->getReceivedBytes(), -1);  // loopback
  }
  for (TcpConnection* record : {listening, recordOf(*set, client), recordOf(*set, server)}) {
    EXPECT_EQ(record->getPid(), getpid());
    EXPECT_EQ(record->getLocalAddress(), kLoopback);
    EXPECT_GT(record->getStartTime(), 0);
    EXPECT_EQ(std::u16string(record->getProcessName()), u"test_network");
  }
}

TEST(ConnectionTables, CloseWaitRowsThatDifferInTheRemotePortAreOneRecord) {
  Fd listener = platform::test::tcpListener("127.0.0.1");
  int32_t port = localPort(listener.get());
  // Two connections to the same listener closed by their clients: two CLOSE_WAIT rows with
  // the same local endpoint and remote address.
  std::vector<Fd> servers;
  for (int i = 0; i < 2; ++i) {
    Fd client = platform::test::tcpConnect("127.0.0.1", port);
    servers.push_back(platform::test::tcpAccept(listener.get()));
    client.reset();
    waitForEof(servers.back().get());
  }
  PoolPtr<win::TcpConnectionSet> set = win::readTcpConnections();
  std::vector<TcpConnection*> found = recordsOf(*set, servers[0].get());
  ASSERT_EQ(found.size(), 1U);
  EXPECT_EQ(found[0]->getState(), 8);
  EXPECT_EQ(found[0]->getRemotePort(), -1);
  EXPECT_EQ(recordOf(*set, servers[1]), found[0]);
}

TEST(ConnectionTables, UdpRecords) {
  Fd udp = platform::test::udpSocket("127.0.0.1");
  PoolPtr<win::UdpConnectionSet> set = win::readUdpConnections();
  UdpConnection* found = recordOf(*set, udp);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->getPid(), getpid());
  EXPECT_EQ(found->getReceivedBytes(), -1);
}

TEST(ConnectionTables, DisconnectEndsAnEstablishedConnection) {
  Fd listener = platform::test::tcpListener("127.0.0.1");
  int32_t port = localPort(listener.get());
  Fd client = platform::test::tcpConnect("127.0.0.1", port);
  Fd server = platform::test::tcpAccept(listener.get());
  PoolPtr<win::TcpConnectionSet> set = win::readTcpConnections();
  TcpConnection* ours = recordOf(*set, client);
  ASSERT_NE(ours, nullptr);
  ours->disconnect();
  set.reset();
  char byte = 0;
  if (recv(client.get(), &byte, 1, MSG_DONTWAIT) == -1 && errno == EAGAIN) {
    GTEST_SKIP() << "the kernel or the rights refuse SOCK_DESTROY";
  }
  EXPECT_EQ(errno, ECONNABORTED);
}

TEST(ConnectionTables, Ipv6AndDualStackRecordsOfRealSockets) {
  Fd listener = platform::test::dualStackListener();
  int32_t port = localPort(listener.get());
  Fd client = platform::test::tcpConnect6("::1", port);
  Fd server = platform::test::tcpAccept(listener.get());
  Fd udp = platform::test::ipv6Socket(SOCK_DGRAM, "::", false);
  PoolPtr<win::TcpConnectionSet> set = win::readTcpConnections();
  TcpConnection* dualStack = recordOf(*set, listener);
  ASSERT_NE(dualStack, nullptr);
  EXPECT_EQ(dualStack->getFamily(), platform::SocketFamily::DualStack);
  EXPECT_EQ(std::u16string(dualStack->getProtocolText()), u"TCP46");
  EXPECT_EQ(std::u16string(dualStack->getLocalAddressText()), u"::");
  EXPECT_EQ(dualStack->getState(), TcpConnection::kListening);
  EXPECT_EQ(dualStack->getPid(), getpid());
  for (const Fd* end : {&client, &server}) {
    TcpConnection* record = recordOf(*set, *end);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->getFamily(), platform::SocketFamily::Ipv6);
    EXPECT_EQ(std::u16string(record->getProtocolText()), u"TCP6");
    EXPECT_EQ(std::u16string(record->getLocalAddressText()), u"::1");
    EXPECT_EQ(record->getReceivedBytes(), -1);  // loopback
    EXPECT_EQ(record->getPid(), getpid());
  }
  PoolPtr<win::UdpConnectionSet> udpSet = win::readUdpConnections();
  UdpConnection* found = recordOf(*udpSet, udp);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(std::u16string(found->getProtocolText()), u"UDP46");
}

TEST(ConnectionTables, KernelTotalsCountTcpPayloadAndLeaveUdpUnmeasured) {
  // The accepted end, on 127.0.0.2, is measured; the client's, from 127.0.0.1, is not.
  Fd listener = platform::test::tcpListener("127.0.0.2");
  int32_t port = localPort(listener.get());
  Fd client = platform::test::tcpConnect("127.0.0.2", port);
  Fd server = platform::test::tcpAccept(listener.get());
  std::string up(500, 'u');
  std::string down(200, 'd');
  ASSERT_EQ(send(client.get(), up.data(), up.size(), 0), 500);
  ASSERT_EQ(send(server.get(), down.data(), down.size(), 0), 200);
  char buffer[500];
  ASSERT_EQ(recv(server.get(), buffer, 500, MSG_WAITALL), 500);
  ASSERT_EQ(recv(client.get(), buffer, 200, MSG_WAITALL), 200);
  Fd udp = platform::test::udpSocket("127.0.0.2");
  PoolPtr<win::TcpConnectionSet> set = win::readTcpConnections(win::Counting::KernelTotals);
  TcpConnection* measured = recordOf(*set, server);
  ASSERT_NE(measured, nullptr);
  EXPECT_TRUE(measured->hasKernelTotals());
  EXPECT_EQ(measured->getSentBytes(), 200);
  EXPECT_EQ(measured->getReceivedBytes(), 500);
  TcpConnection* loopback = recordOf(*set, client);
  ASSERT_NE(loopback, nullptr);
  EXPECT_EQ(loopback->getReceivedBytes(), -1);
  PoolPtr<win::UdpConnectionSet> udpSet = win::readUdpConnections(win::Counting::KernelTotals);
  UdpConnection* found = recordOf(*udpSet, udp);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->getReceivedBytes(), -1);
}

}  // namespace
}  // namespace s::system::network

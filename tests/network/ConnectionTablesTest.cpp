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

// The records of a snapshot whose local or remote port is `port`.
template <class Record>
std::vector<Record*> withPort(col::Map<Record>* set, int32_t port) {
  col::ArrayP<Record> all;
  set->elements(all);
  std::vector<Record*> found;
  for (Record* record : all) {
    if (record->getLocalPort() == port || record->getRemotePort() == port) {
      found.push_back(record);
    }
  }
  return found;
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
  int32_t gonePort = localPort(gone.get());
  gone.reset();
  waitForEof(goneServer.get());
  goneServer.reset();

  PoolPtr<win::TcpConnectionSet> set = win::readTcpConnections();
  col::ArrayP<TcpConnection> all;
  set->elements(all);
  for (TcpConnection* record : all) {
    EXPECT_FALSE(record->getLocalAddress() == kLoopback && record->getLocalPort() == gonePort);
  }
  int listening = 0;
  int established = 0;
  for (TcpConnection* record : withPort(set.get(), port)) {
    EXPECT_EQ(record->getPid(), getpid());
    EXPECT_EQ(record->getLocalAddress(), kLoopback);
    EXPECT_GT(record->getStartTime(), 0);
    EXPECT_EQ(std::u16string(record->getProcessName()), u"test_network");
    if (record->getState() == TcpConnection::kListening) {
      ++listening;
    } else if (record->getState() == TcpConnection::kEstablished) {
      ++established;
      EXPECT_EQ(record->getReceivedBytes(), -1);  // loopback
    }
  }
  EXPECT_EQ(listening, 1);
  EXPECT_EQ(established, 2);
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
  int closeWaits = 0;
  for (TcpConnection* record : withPort(set.get(), port)) {
    if (record->getState() == 8) {
      ++closeWaits;
      EXPECT_EQ(record->getRemotePort(), -1);
    }
  }
  EXPECT_EQ(closeWaits, 1);
}

TEST(ConnectionTables, UdpRecords) {
  Fd udp = platform::test::udpSocket("127.0.0.1");
  int32_t port = localPort(udp.get());
  PoolPtr<win::UdpConnectionSet> set = win::readUdpConnections();
  std::vector<UdpConnection*> found = withPort(set.get(), port);
  ASSERT_EQ(found.size(), 1U);
  EXPECT_EQ(found[0]->getPid(), getpid());
  EXPECT_EQ(found[0]->getReceivedBytes(), -1);
}

TEST(ConnectionTables, DisconnectEndsAnEstablishedConnection) {
  Fd listener = platform::test::tcpListener("127.0.0.1");
  int32_t port = localPort(listener.get());
  Fd client = platform::test::tcpConnect("127.0.0.1", port);
  Fd server = platform::test::tcpAccept(listener.get());
  int32_t clientPort = localPort(client.get());
  PoolPtr<win::TcpConnectionSet> set = win::readTcpConnections();
  TcpConnection* ours = nullptr;
  for (TcpConnection* record : withPort(set.get(), port)) {
    if (record->getLocalPort() == clientPort) {
      ours = record;
    }
  }
  ASSERT_NE(ours, nullptr);
  ours->disconnect();
  set.reset();
  char byte = 0;
  if (recv(client.get(), &byte, 1, MSG_DONTWAIT) == -1 && errno == EAGAIN) {
    GTEST_SKIP() << "the kernel or the rights refuse SOCK_DESTROY";
  }
  EXPECT_EQ(errno, ECONNABORTED);
}

}  // namespace
}  // namespace s::system::network

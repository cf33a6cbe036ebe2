#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/actions/ConnectionActions.h"
#include "app/actions/SelectedConnection.h"
#include "gui/listbox2/ListBox2.h"
#include "gui/listbox2/Record.h"
#include "network/TcpConnection.h"
#include "network/UdpConnection.h"
#include "platform/linux/Processes.h"
#include "tests/network/Records.h"
#include "tests/platform/linux/Sockets.h"
#include "tests/support/TempFolder.h"

namespace s::app {
namespace {

using system::network::IConnection;
using system::network::TcpConnection;
using system::network::UdpConnection;
using system::network::test::tcp;

constexpr int32_t kEstablished = 5;
constexpr int32_t kListening = 2;

// What the actions asked of the desktop, in order.
class RecordingShell final : public platform::IDesktopShell {
 public:
  bool openAddress(const std::string& address) override { return note("open " + address); }
  bool showInFileManager(const std::string& path) override { return note("locate " + path); }
  bool showProperties(const std::string& path) override { return note("properties " + path); }

  std::vector<std::string> calls() {
    std::lock_guard<std::mutex> hold(lock_);
    return calls_;
  }

 private:
  bool note(std::string call) {
    std::lock_guard<std::mutex> hold(lock_);
    calls_.push_back(std::move(call));
    return true;
  }
  std::mutex lock_;
  std::vector<std::string> calls_;
};

// A child that pauses until a signal ends it.
pid_t sleeper() {
  pid_t child = fork();
  if (child == 0) {
    for (;;) {
      pause();
    }
  }
  return child;
}

int endingSignal(pid_t child) {
  int status = 0;
  waitpid(child, &status, 0);
  return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

SelectedConnection entry(int32_t pid, uint32_t remoteAddress, std::string host,
                         std::string path = "") {
  SelectedConnection connection;
  connection.pid = pid;
  connection.remoteAddress = remoteAddress;
  connection.remoteHost = std::move(host);
  connection.processPath = std::move(path);
  return connection;
}

class ConnectionActionsTest : public ::testing::Test {
 protected:
  RecordingShell shell_;
  ConnectionActions actions_{shell_, platform::TerminateSignalCloser::instance()};
};

TEST_F(ConnectionActionsTest, EachAddressAndEachProcessOnceInSelectionOrder) {
  pid_t browser = sleeper();
  const std::vector<SelectedConnection> selection = {
      entry(browser, 0x0100000A, "10.0.0.1", "/usr/bin/true"),
      entry(browser, 0x0200000A, "www.example.org", "/usr/bin/true"),
      entry(browser, 0x0100000A, "10.0.0.1", "/usr/bin/true"),
      entry(1, 0x0300000A, "10.0.0.3", "/usr/bin/env"),
  };
  actions_.run(RowCommand::kOpenWebPage, selection);
  actions_.run(RowCommand::kLocateProgram, selection);
  actions_.run(RowCommand::kShowProgramProperty, selection);
  actions_.waitIdle();
  EXPECT_EQ(shell_.calls(),
            (std::vector<std::string>{"open http://10.0.0.1", "open http://www.example.org",
                                      "open http://10.0.0.3", "locate /usr/bin/true",
                                      "locate /usr/bin/env", "properties /usr/bin/true",
                                      "properties /usr/bin/env"}));

  const std::vector<SelectedConnection> browserRows(selection.begin(), selection.begin() + 3);
  actions_.run(RowCommand::kKillProgram, browserRows);
  actions_.waitIdle();
  EXPECT_EQ(endingSignal(browser), SIGKILL);
}

TEST_F(ConnectionActionsTest, LocateSkipsUnknownAndMissingFiles) {
  test::TempFolder folder;
  const std::vector<SelectedConnection> selection = {
      entry(10, 0, "", ""),
      entry(11, 0, "", folder.path("gone").string()),
      entry(12, 0, "", folder.root().string()),
      entry(13, 0, "", "relative/bin"),
  };
  actions_.run(RowCommand::kLocateProgram, selection);
  actions_.waitIdle();
  EXPECT_TRUE(shell_.calls().empty());
}

TEST_F(ConnectionActionsTest, CloseAsksEachProcessOnce) {
  pid_t first = sleeper();
  pid_t second = sleeper();
  const std::vector<SelectedConnection> selection = {entry(first, 0, ""), entry(second, 0, ""),
                                                     entry(first, 0, "")};
  actions_.run(RowCommand::kCloseProgram, selection);
  actions_.waitIdle();
  EXPECT_EQ(endingSignal(first), SIGTERM);
  EXPECT_EQ(endingSignal(second), SIGTERM);
}

TEST_F(ConnectionActionsTest, DisconnectEndsOnlyTheSelectedEstablishedConnection) {
  using platform::test::Fd;
  const uint32_t loopback = platform::test::ipv4("127.0.0.1");
  Fd listener = platform::test::tcpListener("127.0.0.1");
  uint16_t port = platform::test::localPort(listener.get());
  Fd client = platform::test::tcpConnect("127.0.0.1", port);
  Fd server = platform::test::tcpAccept(listener.get());
  Fd udp = platform::test::udpSocket("127.0.0.1");
  uint16_t clientPort = platform::test::localPort(client.get());

  PoolPtr<TcpConnection> established =
      tcp(kEstablished, loopback, clientPort, loopback, port, getpid());
  PoolPtr<TcpConnection> listening = tcp(kListening, loopback, port, 0, 0, getpid());
  PoolPtr<UdpConnection> datagrams = UdpConnection::make();
  datagrams->setLocalAddress(loopback);
  datagrams->setLocalPort(platform::test::localPort(udp.get()));
  datagrams->setPid(getpid());

  // Listening sockets and UDP endpoints are left as they are.
  const std::vector<SelectedConnection> notDisconnectable = {selectedConnectionOf(*listening),
                                                             selectedConnectionOf(*datagrams)};
  actions_.run(RowCommand::kDisconnect, notDisconnectable);
  Fd second = platform::test::tcpConnect("127.0.0.1", port);
  EXPECT_GE(second.get(), 0);
  char byte = 'x';
  EXPECT_EQ(send(client.get(), &byte, 1, 0), 1);

  const std::vector<SelectedConnection> selection = {selectedConnectionOf(*established)};
  actions_.run(RowCommand::kDisconnect, selection);
  // Done on the calling thread: the connection has already gone.
  errno = 0;
  EXPECT_EQ(recv(client.get(), &byte, 1, MSG_DONTWAIT), -1);
  EXPECT_EQ(errno, ECONNABORTED);
  EXPECT_TRUE(shell_.calls().empty());
}

TEST(SelectedConnection, ReadsTheSelectedRowsOfAList) {
  PoolPtr<gui::win::ListBox2> list = gui::win::ListBox2::make();
  list->addColumn({.title = u"Protocol", .width = 60});
  const uint32_t address = platform::test::ipv4("192.0.2.7");
  PoolPtr<TcpConnection> own = tcp(kEstablished, address, 5000, address, 80, getpid());
  PoolPtr<TcpConnection> unseen = tcp(kListening, address, 22, 0, 0, -1);
  PoolPtr<TcpConnection> unselected = tcp(kEstablished, address, 5001, address, 443, getpid());
  std::vector<gui::listbox2::Record*> rows;
  for (IConnection* connection :
       std::initializer_list<IConnection*>{own.get(), unseen.get(), unselected.get()}) {
    gui::listbox2::Record* row = gui::listbox2::newRecord(1, connection).release();
    ASSERT_TRUE(list->appendRecord(row));
    rows.push_back(row);
  }
  ASSERT_TRUE(list->select(rows[1], rows[1]->stamp()));
  ASSERT_TRUE(list->select(rows[0], rows[0]->stamp()));

  std::vector<SelectedConnection> selection;
  readSelection(*list, selection);
  ASSERT_EQ(selection.size(), 2U);
  // Selection order, not row order.
  EXPECT_EQ(selection[0].connection, unseen.get());
  EXPECT_EQ(selection[0].pid, -1);
  EXPECT_EQ(selection[0].processPath, "");
  EXPECT_EQ(selection[0].remoteHost, "*");
  EXPECT_FALSE(selection[0].disconnectable);
  EXPECT_FALSE(selection[0].signalable);

  EXPECT_EQ(selection[1].connection, own.get());
  std::string path;
  platform::processPath(getpid(), path);
  EXPECT_EQ(selection[1].processPath, path);
  EXPECT_EQ(selection[1].remoteHost, "192.0.2.7");
  EXPECT_EQ(selection[1].remotePort, 80);
  EXPECT_TRUE(selection[1].disconnectable);
  EXPECT_TRUE(selection[1].signalable);
  list->removeAllAndRelease();
}

TEST(SelectedConnection, AnotherUsersProcessIsNotSignalableForADesktopUser) {
  PoolPtr<TcpConnection> rootsOwn = tcp(kEstablished, 0, 5000, 0, 80, getpid());
  int status = 0;
  platform::test::rowsFromChild(
      [&](int /*out*/) {
        if (!platform::test::becomeNobody()) {
          _exit(2);
        }
        _exit(selectedConnectionOf(*rootsOwn).signalable ? 3 : 0);
      },
      status);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "2: could not drop rights, 3: signalable";
}

}  // namespace
}  // namespace s::app

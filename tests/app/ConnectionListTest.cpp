#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "tests/network/NamespaceHosts.h"
#include "tests/platform/linux/Sockets.h"
#include "tests/support/ProgramOutput.h"

namespace s::app {
namespace {

using platform::test::Fd;
using platform::test::localPort;
using test::programOutput;

std::vector<std::string> split(const std::string& line, char separator) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, separator)) {
    fields.push_back(field);
  }
  if (!line.empty() && line.back() == separator) {
    fields.emplace_back();
  }
  return fields;
}

// protocol, state, local address, local port, remote address, remote port, pid
using Row = std::tuple<std::string, std::string, std::string, std::string, std::string, std::string,
                       std::string>;

std::set<Row> listRows(const std::string& text, const std::set<std::string>& ports) {
  std::set<Row> rows;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> f = split(line, '\t');
    if (f.size() != 9 || (ports.count(f[5]) == 0 && ports.count(f[7]) == 0)) {
      continue;
    }
    rows.insert({f[0], f[1], f[4], f[5], f[6], f[7], f[2]});
  }
  return rows;
}

// "127.0.0.1:80", "[::ffff:127.0.0.1]:80", "0.0.0.0:*" into address and port; false for
// other IPv6 endpoints, "*:80" (ss's form of a dual-stack socket's [::]) among them.
bool endpoint(const std::string& text, std::string& address, std::string& port) {
  size_t colon = text.rfind(':');
  if (colon == std::string::npos) {
    return false;
  }
  address = text.substr(0, colon);
  port = text.substr(colon + 1);
  if (address == "*") {
    return false;
  }
  if (address.size() > 2 && address.front() == '[') {
    address = address.substr(1, address.size() - 2);
    if (address.rfind("::ffff:", 0) != 0 || address.find('.') == std::string::npos) {
      return false;
    }
    address = address.substr(7);
  }
  return address.find(':') == std::string::npos;
}

std::set<Row> ssRows(const std::string& text, const std::set<std::string>& ports) {
  std::set<Row> rows;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string netid, state, receiveQueue, sendQueue, local, peer, users;
    fields >> netid >> state >> receiveQueue >> sendQueue >> local >> peer;
    std::getline(fields, users);
    std::string localAddress, localPortText, peerAddress, peerPort;
    if (!endpoint(local, localAddress, localPortText) || !endpoint(peer, peerAddress, peerPort)) {
      continue;
    }
    bool established = state == "ESTAB";
    if (ports.count(localPortText) == 0 && !(established && ports.count(peerPort) != 0)) {
      continue;
    }
    size_t at = users.find("pid=");
    std::string pid =
        at == std::string::npos ? "-" : users.substr(at + 4, users.find(',', at) - at - 4);
    if (netid == "udp") {
      rows.insert({"UDP", "", localAddress, localPortText, "", "", pid});
    } else {
      std::string name = state == "LISTEN" ? "LISTENING" : established ? "ESTABLISHED" : state;
      rows.insert({"TCP", name, localAddress, localPortText, state == "LISTEN" ? "" : peerAddress,
                   established ? peerPort : "", pid});
    }
  }
  return rows;
}

TEST(ConnectionList, AgreesWithSsOnTheTestsSockets) {
  Fd listener = platform::test::tcpListener("127.0.0.1");
  std::string port = std::to_string(localPort(listener.get()));
  Fd client = platform::test::tcpConnect("127.0.0.1", localPort(listener.get()));
  Fd server = platform::test::tcpAccept(listener.get());
  Fd dual = platform::test::dualStackListener();
  std::string dualPort = std::to_string(localPort(dual.get()));
  Fd dualClient = platform::test::tcpConnect("127.0.0.1", localPort(dual.get()));
  Fd dualServer = platform::test::tcpAccept(dual.get());
  Fd udp = platform::test::udpSocket("127.0.0.1");
  std::string udpPort = std::to_string(localPort(udp.get()));
  std::set<std::string> ports = {port, dualPort, udpPort};

  std::set<Row> ours = listRows(programOutput({NETVIGIL_BINARY, "--list", "--tsv"}), ports);
  std::set<Row> theirs = ssRows(programOutput({"ss", "-tuanpH"}), ports);
  // Listener, both ends of each connection (the dual-stack listener itself is IPv6 only),
  // the UDP socket.
  EXPECT_EQ(ours.size(), 6U);
  EXPECT_EQ(ours, theirs);
  std::string pid = std::to_string(getpid());
  for (const Row& row : ours) {
    EXPECT_EQ(std::get<6>(row), pid);
  }
}

TEST(ConnectionList, ResolvesHostNamesFromTheNamespacesHostsFile) {
  system::network::test::NamespaceHosts hosts("127.0.0.1 loopy.nvtest\n");
  ASSERT_TRUE(hosts.ok());
  // A child inside the namespace holds a listener there until the pipe closes.
  int ready[2];
  int hold[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(hold), 0);
  pid_t child = fork();
  if (child == 0) {
    close(ready[0]);
    close(hold[1]);
    if (!hosts.netns().enter()) {
      _exit(1);
    }
    Fd listener = platform::test::tcpListener("127.0.0.1", 4321);
    char byte = listener.get() >= 0 ? 1 : 0;
    if (write(ready[1], &byte, 1) != 1) {
      _exit(1);
    }
    while (read(hold[0], &byte, 1) > 0) {
    }
    _exit(0);
  }
  close(ready[1]);
  close(hold[0]);
  char byte = 0;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  ASSERT_EQ(byte, 1);

  std::string text = programOutput({"ip", "netns", "exec", hosts.netns().name(), NETVIGIL_BINARY,
                                    "--list", "--resolve", "--tsv"});
  close(hold[1]);
  waitpid(child, nullptr, 0);
  close(ready[0]);
  std::vector<std::string> lines = split(text, '\n');
  if (!lines.empty() && lines.back().empty()) {
    lines.pop_back();
  }
  ASSERT_EQ(lines.size(), 1U) << "[" << text << "]";
  std::vector<std::string> fields = split(lines[0], '\t');
  ASSERT_EQ(fields.size(), 9U) << lines[0];
  EXPECT_EQ(fields[0], "TCP");
  EXPECT_EQ(fields[1], "LISTENING");
  EXPECT_EQ(fields[2], std::to_string(child));
  EXPECT_EQ(fields[4], "loopy.nvtest");
  EXPECT_EQ(fields[5], "4321");
  EXPECT_EQ(fields[6], "*");
}

}  // namespace
}  // namespace s::app

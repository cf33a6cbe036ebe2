#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/linux/capture/NetnsPair.h"
#include "tests/app/console/ProgramRun.h"
#include "tests/network/NamespaceHosts.h"
#include "tests/platform/linux/Sockets.h"
#include "tests/platform/linux/rights/HelperFixture.h"
#include "tests/support/TempFolder.h"

namespace s::app::console {
namespace {

using platform::test::Fd;
using platform::test::localPort;
using test::byteCounts;
using test::frames;
using test::PtyProgram;
using test::runProgram;

// The cells of a printout line, in the current list's column order.
constexpr size_t kCells = 12;
constexpr size_t kPid = 2;
constexpr size_t kLocal = 4;
constexpr size_t kLocalPort = 5;
constexpr size_t kRemote = 6;
constexpr size_t kRemotePort = 7;

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

std::vector<std::vector<std::string>> tsvRows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  for (const std::string& line : split(text, '\n')) {
    if (!line.empty()) {
      rows.push_back(split(line, '\t'));
    }
  }
  return rows;
}

// The printout's row of `protocol` whose local port is `port`; empty when there is none. TCP
// and UDP number their ports apart, so one number may name a row of each.
std::vector<std::string> rowWithLocalPort(const std::string& text, const std::string& protocol,
                                          int64_t port) {
  for (const std::vector<std::string>& fields : tsvRows(text)) {
    if (fields.size() == kCells && fields[0] == protocol &&
        fields[kLocalPort] == std::to_string(port)) {
      return fields;
    }
  }
  return {};
}

size_t occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

// A settings folder of the test's own, so that the user's settings are neither read nor written.
class Home {
 public:
  Home() { chmod(folder_.root().c_str(), 0777); }
  std::vector<std::string> env() const { return {"NETVIGIL_HOME=" + folder_.root().string()}; }
  std::string settingsText() const {
    return s::test::fileText(folder_.path("savedata/SaveData.xml"));
  }
  std::filesystem::path path(const std::string& name) const { return folder_.path(name); }

 private:
  s::test::TempFolder folder_;
};

// A child process that runs `body` with a pipe to report on and one that holds it until the
// test closes its end.
class Helper {
 public:
  template <class Body>
  explicit Helper(Body body) {
    int report[2];
    int hold[2];
    // Close-on-exec, so that no program the test starts holds the child back.
    if (pipe2(report, O_CLOEXEC) != 0 || pipe2(hold, O_CLOEXEC) != 0) {
      return;
    }
    pid_ = fork();
    if (pid_ == 0) {
      close(report[0]);
      close(hold[1]);
      _exit(body(report[1], hold[0]));
    }
    close(report[1]);
    close(hold[0]);
    report_ = report[0];
    hold_ = hold[1];
  }
  ~Helper() {
    release();
    if (pid_ > 0) {
      waitpid(pid_, nullptr, 0);
    }
    if (report_ >= 0) {
      close(report_);
    }
  }
  Helper(const Helper&) = delete;
  Helper& operator=(const Helper&) = delete;

  // The next number the child reports; -1 when it reports none.
  int64_t next() {
    int64_t value = -1;
    return read(report_, &value, sizeof(value)) == sizeof(value) ? value : -1;
  }
  // Lets the child go on to its end.
  void release() {
    if (hold_ >= 0) {
      close(hold_);
      hold_ = -1;
    }
  }
  int wait() {
    int raw = 0;
    if (pid_ <= 0 || waitpid(pid_, &raw, 0) != pid_) {
      return -1;
    }
    pid_ = -1;
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int report_ = -1;
  int hold_ = -1;
};

void report(int fd, int64_t value) {
  if (write(fd, &value, sizeof(value)) != sizeof(value)) {
    _exit(90);
  }
}

// Blocks until the test lets go.
void holdOn(int hold) {
  char byte = 0;
  while (read(hold, &byte, 1) > 0) {
  }
}

// A child's body: a TCP listener on the first namespace address of `ns`, its port reported,
// kept until the test lets go.
int holdListener(const std::string& ns, int out, int hold) {
  platform::NetnsEntry entry(ns);
  Fd socket = platform::test::tcpListener(platform::NetnsPair::kAddressA);
  report(out, entry.entered() && socket.get() >= 0 ? localPort(socket.get()) : -1);
  holdOn(hold);
  return 0;
}

// protocol, state, local address, local port, remote address, remote port, pid
using Row = std::tuple<std::string, std::string, std::string, std::string, std::string, std::string,
                       std::string>;

std::set<Row> printedRows(const std::string& text) {
  std::set<Row> rows;
  for (const std::vector<std::string>& f : tsvRows(text)) {
    rows.insert(f.size() == kCells
                    ? Row{f[0], f[1], f[kLocal], f[kLocalPort], f[kRemote], f[kRemotePort], f[kPid]}
                    : Row{"malformed line", "", "", "", "", "", ""});
  }
  return rows;
}

// Which family ss's endpoint text names: "127.0.0.1:80" and "[::ffff:127.0.0.1]:80" IPv4,
// "[::1]:80" IPv6, "*:80" a dual-stack socket's wildcard.
enum class Family { Ipv4, Ipv6, DualStack };

// ss's endpoint into address and port, the address as this program writes it: the mapped
// form as its IPv4 address, the dual-stack wildcard as "::". False for what is no endpoint.
bool endpoint(const std::string& text, Family& family, std::string& address, std::string& port) {
  size_t colon = text.rfind(':');
  if (colon == std::string::npos) {
    return false;
  }
  address = text.substr(0, colon);
  port = text.substr(colon + 1);
  family = Family::Ipv4;
  if (address == "*") {
    family = Family::DualStack;
    address = "::";
  } else if (address.size() > 2 && address.front() == '[') {
    address = address.substr(1, address.size() - 2);
    if (address.rfind("::ffff:", 0) == 0 && address.find('.') != std::string::npos) {
      address = address.substr(7);
    } else {
      family = Family::Ipv6;
    }
  }
  return true;
}

// Every row of ss's listing, in the printout's terms.
std::set<Row> ssRows(const std::string& text) {
  std::set<Row> rows;
  for (const std::string& line : split(text, '\n')) {
    std::istringstream fields(line);
    std::string netid, state, receiveQueue, sendQueue, local, peer, users;
    fields >> netid >> state >> receiveQueue >> sendQueue >> local >> peer;
    std::getline(fields, users);
    Family family = Family::Ipv4;
    Family peerFamily = Family::Ipv4;
    std::string localAddress, localPortText, peerAddress, peerPort;
    if (!endpoint(local, family, localAddress, localPortText) ||
        !endpoint(peer, peerFamily, peerAddress, peerPort)) {
      if (!line.empty()) {
        rows.insert({"unread ss line: " + line, "", "", "", "", "", ""});
      }
      continue;
    }
    bool established = state == "ESTAB";
    size_t at = users.find("pid=");
    std::string pid =
        at == std::string::npos ? "-" : users.substr(at + 4, users.find(',', at) - at - 4);
    const char* suffix = family == Family::Ipv4 ? "" : family == Family::Ipv6 ? "6" : "46";
    if (netid == "udp") {
      rows.insert({std::string("UDP") + suffix, "", localAddress, localPortText, "", "", pid});
    } else {
      std::string name = state == "LISTEN" ? "LISTENING" : established ? "ESTABLISHED" : state;
      rows.insert({std::string("TCP") + suffix, name, localAddress, localPortText,
                   state == "LISTEN" ? "" : peerAddress, established ? peerPort : "", pid});
    }
  }
  return rows;
}

TEST(Printout, AgreesWithSsOnEveryRowOfBothFamilies) {
  using platform::NetnsPair;
  using platform::test::ipv6Socket;
  using platform::test::tcpAccept;
  // Namespaces of the test's own: every row of both listings is the test's, and no other
  // process's socket comes or goes between the two readings.
  NetnsPair pair;
  ASSERT_TRUE(pair.create(NetnsPair::Ipv6::Quiet));
  Fd far;
  Fd far6;
  {
    platform::NetnsEntry entry(pair.nameB());
    ASSERT_TRUE(entry.entered());
    far = platform::test::tcpListener(NetnsPair::kAddressB);
    far6 = ipv6Socket(SOCK_STREAM, NetnsPair::kAddress6B, true);
  }
  std::vector<Fd> sockets;
  {
    platform::NetnsEntry entry(pair.nameA());
    ASSERT_TRUE(entry.entered());
    // A loopback listener and both ends of its connection.
    sockets.push_back(platform::test::tcpListener("127.0.0.1"));
    uint16_t port = localPort(sockets.back().get());
    sockets.push_back(platform::test::tcpConnect("127.0.0.1", port));
    sockets.push_back(tcpAccept(sockets[0].get()));
    // A dual-stack listener reached over both families.
    sockets.push_back(platform::test::dualStackListener());
    int dual = sockets.back().get();
    sockets.push_back(platform::test::tcpConnect("127.0.0.1", localPort(dual)));
    sockets.push_back(tcpAccept(dual));
    sockets.push_back(platform::test::tcpConnect6("::1", localPort(dual)));
    sockets.push_back(tcpAccept(dual));
    sockets.push_back(ipv6Socket(SOCK_STREAM, "::", true));
    // Connections over the pair, whose far ends are in the other namespace.
    sockets.push_back(platform::test::tcpConnect(NetnsPair::kAddressB, localPort(far.get())));
    sockets.push_back(platform::test::tcpConnect6(NetnsPair::kAddress6B, localPort(far6.get())));
    sockets.push_back(platform::test::udpSocket("127.0.0.1"));
    sockets.push_back(ipv6Socket(SOCK_DGRAM, "::", false));
    sockets.push_back(ipv6Socket(SOCK_DGRAM, "::1", true));
    sockets.push_back(ipv6Socket(SOCK_DGRAM, NetnsPair::kAddress6A, true));
  }
  for (const Fd& socket : sockets) {
    ASSERT_GE(socket.get(), 0);
  }
  Fd farEnd = tcpAccept(far.get());
  Fd farEnd6 = tcpAccept(far6.get());

  Home home;
  test::RunResult run = runProgram({"ip", "netns", "exec", pair.nameA(), NETVIGIL_BINARY, "--once",
                                    "--cycles", "1", "--tsv", "--no-resolve"},
                                   home.env());
  ASSERT_EQ(run.status, 0) << run.err;
  std::set<Row> ours = printedRows(run.out);
  test::RunResult listing = runProgram({"ip", "netns", "exec", pair.nameA(), "ss", "-tuanpH"}, {});
  ASSERT_EQ(listing.status, 0) << listing.err;
  EXPECT_EQ(ours, ssRows(listing.out)) << run.out << "\n" << listing.out;
  EXPECT_EQ(ours.size(), sockets.size()) << run.out;
  for (const Row& row : ours) {
    EXPECT_EQ(std::get<6>(row), std::to_string(getpid()));
  }
  auto has = [&ours](const char* protocol, const char* local) {
    return std::any_of(ours.begin(), ours.end(), [&](const Row& row) {
      return std::get<0>(row) == protocol && std::get<2>(row) == local;
    });
  };
  EXPECT_TRUE(has("TCP46", "::"));
  EXPECT_TRUE(has("TCP6", "::"));
  EXPECT_TRUE(has("TCP6", "::1"));
  EXPECT_TRUE(has("TCP6", NetnsPair::kAddress6A));
  EXPECT_TRUE(has("TCP", NetnsPair::kAddressA));
  EXPECT_TRUE(has("UDP46", "::"));
  EXPECT_TRUE(has("UDP6", "::1"));
  EXPECT_TRUE(has("UDP6", NetnsPair::kAddress6A));
  // Nothing was changed, so nothing was written.
  EXPECT_EQ(home.settingsText(), "");
}

TEST(Printout, ShowsHostNamesFromTheNamespacesHostsFile) {
  system::network::test::NamespaceHosts hosts("127.0.0.1 loopy.nvtest\n::1 loopy6.nvtest\n");
  ASSERT_TRUE(hosts.ok());
  Helper listener([&hosts](int out, int hold) {
    if (!hosts.netns().enter()) {
      return 1;
    }
    Fd socket = platform::test::tcpListener("127.0.0.1", 4321);
    Fd socket6 = platform::test::ipv6Socket(SOCK_STREAM, "::1", true, 4322);
    report(out, socket.get() >= 0 && socket6.get() >= 0 ? 1 : 0);
    holdOn(hold);
    return 0;
  });
  ASSERT_EQ(listener.next(), 1);

  // Local names, like remote ones, come from the background resolver: by the second cycle.
  Home home;
  test::RunResult run = runProgram({"ip", "netns", "exec", hosts.netns().name(), NETVIGIL_BINARY,
                                    "--once", "--cycles", "2", "--period", "0.5s", "--tsv"},
                                   home.env());
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::vector<std::string>> rows = tsvRows(run.out);
  ASSERT_EQ(rows.size(), 2U) << run.out;
  for (const std::vector<std::string>& row : rows) {
    ASSERT_EQ(row.size(), kCells) << run.out;
    bool ipv6 = row[kLocalPort] == "4322";
    EXPECT_EQ(row[0], ipv6 ? "TCP6" : "TCP");
    EXPECT_EQ(row[1], "LISTENING");
    EXPECT_EQ(row[kPid], std::to_string(listener.pid()));
    EXPECT_EQ(row[kLocal], ipv6 ? "loopy6.nvtest" : "loopy.nvtest");
    EXPECT_EQ(row[kRemote], "*");
  }
}

TEST(Printout, RunsUnprivilegedWithoutTheHelperAndSaysOnceWhatItCannotSee) {
  platform::NetnsPair pair;
  ASSERT_TRUE(pair.create());
  // A socket of root's in the namespace, which nobody cannot trace to its process.
  Helper rootListener([&pair](int out, int hold) { return holdListener(pair.nameA(), out, hold); });
  int64_t port = rootListener.next();
  ASSERT_GT(port, 0);

  Home home;
  std::vector<std::string> env = home.env();
  env.push_back("NETVIGIL_RIGHTS_HELPER=" + home.path("not-installed").string());
  test::RunResult run = runProgram(
      {"ip", "netns", "exec", pair.nameA(), "setpriv", "--reuid=nobody", "--regid=nogroup",
       "--clear-groups", NETVIGIL_BINARY, "--once", "--cycles", "3", "--tsv", "--no-resolve"},
      env);
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> row = rowWithLocalPort(run.out, "TCP", port);
  ASSERT_FALSE(row.empty()) << run.out;
  EXPECT_EQ(row[kPid], "-");
  // Once each: how to grant the capture right, and who names the owners.
  EXPECT_EQ(occurrences(run.err, "CAP_NET_RAW"), 1U) << run.err;
  EXPECT_EQ(occurrences(run.err, "usermod -aG netvigil"), 1U) << run.err;
  EXPECT_EQ(occurrences(run.err, "netvigil-rights names them"), 1U) << run.err;
  // Line breaks stay line breaks, and nothing shows as a replacement character.
  EXPECT_EQ(run.err.find("\uFFFD"), std::string::npos) << run.err;
}

TEST(Printout, WithoutRightsTcpRowsShowTheKernelsPayloadCountsAndSaySo) {
  platform::NetnsPair pair;
  ASSERT_TRUE(pair.create());
  Helper server([&pair](int out, int hold) {
    platform::NetnsEntry entry(pair.nameB());
    Fd listener = platform::test::tcpListener(platform::NetnsPair::kAddressB);
    report(out, entry.entered() && listener.get() >= 0 ? localPort(listener.get()) : -1);
    Fd peer = platform::test::tcpAccept(listener.get());
    char chunk[1000];
    if (recv(peer.get(), chunk, sizeof chunk, MSG_WAITALL) != 1000) {
      return 1;
    }
    std::string reply(300, 'r');
    if (send(peer.get(), reply.data(), reply.size(), 0) != 300) {
      return 1;
    }
    holdOn(hold);
    return 0;
  });
  int64_t port = server.next();
  ASSERT_GT(port, 0);
  // The client's end, in the namespace the program watches, and a UDP socket beside it.
  Helper client([&pair, port](int out, int hold) {
    platform::NetnsEntry entry(pair.nameA());
    Fd socket =
        platform::test::tcpConnect(platform::NetnsPair::kAddressB, static_cast<uint16_t>(port));
    Fd udp = platform::test::udpSocket(platform::NetnsPair::kAddressA);
    std::string request(1000, 'q');
    char reply[300];
    bool done = socket.get() >= 0 && udp.get() >= 0 &&
                send(socket.get(), request.data(), request.size(), 0) == 1000 &&
                recv(socket.get(), reply, sizeof reply, MSG_WAITALL) == 300;
    report(out, done ? localPort(socket.get()) : -1);
    report(out, localPort(udp.get()));
    holdOn(hold);
    return 0;
  });
  int64_t clientPort = client.next();
  ASSERT_GT(clientPort, 0);
  int64_t udpPort = client.next();

  Home home;
  std::vector<std::string> env = home.env();
  env.push_back("NETVIGIL_RIGHTS_HELPER=" + home.path("not-installed").string());
  test::RunResult run = runProgram(
      {"ip", "netns", "exec", pair.nameA(), "setpriv", "--reuid=nobody", "--regid=nogroup",
       "--clear-groups", "--inh-caps=-all", "--bounding-set=-all", NETVIGIL_BINARY, "--once",
       "--cycles", "2", "--period", "0.5s", "--tsv", "--no-resolve"},
      env);
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> tcp = rowWithLocalPort(run.out, "TCP", clientPort);
  std::vector<std::string> udp = rowWithLocalPort(run.out, "UDP", udpPort);
  ASSERT_FALSE(tcp.empty()) << run.out;
  ASSERT_FALSE(udp.empty()) << run.out;
  // What the ends wrote, payload only: the client sent 1000 bytes and was sent 300.
  EXPECT_EQ(tcp[8], "300 B");
  EXPECT_EQ(tcp[9], "1000 B");
  EXPECT_EQ(udp[8], "-");
  EXPECT_EQ(udp[9], "-");
  EXPECT_EQ(occurrences(run.err, "payload only"), 1U) << run.err;
  EXPECT_EQ(occurrences(run.err, "CAP_NET_RAW"), 1U) << run.err;
}

TEST(Printout, OwnersOutsideItsPidNamespaceAreToldApartFromOtherUsers) {
  platform::NetnsPair pair;
  ASSERT_TRUE(pair.create());
  // A listener of a process of this user that a program in a pid namespace of its own cannot see.
  Helper outside([&pair](int out, int hold) { return holdListener(pair.nameA(), out, hold); });
  int64_t port = outside.next();
  ASSERT_GT(port, 0);
  Home home;
  test::RunResult run =
      runProgram({"ip", "netns", "exec", pair.nameA(), "unshare", "--pid", "--fork", "--mount-proc",
                  NETVIGIL_BINARY, "--once", "--cycles", "1", "--tsv", "--no-resolve"},
                 home.env());
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> row = rowWithLocalPort(run.out, "TCP", port);
  ASSERT_FALSE(row.empty()) << run.out;
  EXPECT_EQ(row[kPid], "-");
  EXPECT_EQ(occurrences(run.err, "outside this pid namespace"), 1U) << run.err;
  EXPECT_EQ(occurrences(run.err, "cap_sys_ptrace"), 0U) << run.err;
}

TEST(Console, RefusesWithoutATerminal) {
  Home home;
  test::RunResult run = runProgram({NETVIGIL_BINARY, "--console"}, home.env());
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("needs a terminal"), std::string::npos) << run.err;
  EXPECT_EQ(run.out, "");
}

bool hasFrame(const std::string& output, const std::string& first, const std::string& header) {
  std::vector<std::vector<std::string>> screens = frames(output);
  return std::any_of(screens.begin(), screens.end(), [&](const std::vector<std::string>& lines) {
    return lines.size() > 2 && lines[0].find(first) != std::string::npos &&
           lines[1].find(header) != std::string::npos;
  });
}

TEST(Console, DrawsSwitchesToTheLogAndQuitsRestoringTheTerminal) {
  // At least one connection, so that the connections text is drawn. The terminal is wide
  // enough for whole titles beside the test program's path.
  Fd listener = platform::test::tcpListener("127.0.0.1");
  Home home;
  PtyProgram program;
  ASSERT_TRUE(program.start({NETVIGIL_BINARY, "--console"}, home.env(), 300, 30));
  termios before = program.modes();
  ASSERT_TRUE(program.readUntil([](const std::string& out) {
    return hasFrame(out, "[Current]", "Protocol") &&
           out.find("Connections (Tcp:") != std::string::npos;
  })) << program.output();
  EXPECT_FALSE(test::sameModes(before, program.modes()));
  // Raw mode: the keys arrive as typed, no echo, no line editing.
  EXPECT_EQ(program.modes().c_lflag & (ECHO | ICANON | ISIG), 0U);

  // The sort column moves on and back; the column it comes back to turns round.
  program.send("s");
  ASSERT_TRUE(program.readUntil([](const std::string& out) {
    return hasFrame(out, "[Current]", "State\u25BC");
  })) << program.output();
  program.send("S");
  ASSERT_TRUE(program.readUntil([](const std::string& out) {
    return hasFrame(out, "[Current]", "Protocol\u25BC");
  })) << program.output();

  program.send("\t");
  ASSERT_TRUE(program.readUntil([](const std::string& out) {
    return hasFrame(out, "[Log]", "End\u25B2");
  })) << program.output();
  program.send("\x1b[C");
  ASSERT_TRUE(program.readUntil([](const std::string& out) {
    return hasFrame(out, "[Log]", "Process ID\u25BC");
  })) << program.output();
  program.send("q");
  EXPECT_EQ(program.wait(), 0);
  EXPECT_TRUE(test::sameModes(before, program.modes()));
  const std::string& out = program.output();
  EXPECT_GT(out.rfind("\x1b[?1049l"), out.rfind("\x1b[H"));
  EXPECT_NE(out.rfind("\x1b[?25h"), std::string::npos);
}

TEST(Console, EndsInGoodOrderOnSigtermKeepingWhatTheKeysChanged) {
  Home home;
  std::string log = home.path("saved/log.htm").string();
  PtyProgram program;
  ASSERT_TRUE(
      program.start({NETVIGIL_BINARY, "--console", "--save-log", log}, home.env(), 120, 24));
  termios before = program.modes();
  ASSERT_TRUE(program.readUntil([](const std::string& out) {
    return hasFrame(out, "Refresh Frequency: 1 Second", "Pro");
  })) << program.output();
  // A shorter period.
  program.send("+");
  ASSERT_TRUE(program.readUntil([](const std::string& out) {
    return hasFrame(out, "Refresh Frequency: 0.5 Second", "Pro");
  })) << program.output();
  program.signal(SIGTERM);
  EXPECT_EQ(program.wait(), 128 + SIGTERM);
  EXPECT_TRUE(test::sameModes(before, program.modes()));
  EXPECT_NE(s::test::fileText(log).find("<table>"), std::string::npos);
  EXPECT_NE(home.settingsText().find("RefreshFrequency=\"500\""), std::string::npos)
      << home.settingsText();
}

TEST(Console, EndsInGoodOrderWhenItsTerminalGoes) {
  Home home;
  std::string log = home.path("log.htm").string();
  PtyProgram program;
  ASSERT_TRUE(
      program.start({NETVIGIL_BINARY, "--console", "--save-log", log}, home.env(), 120, 24));
  ASSERT_TRUE(program.readUntil([](const std::string& out) {
    return hasFrame(out, "Enable Host Name Resolution", "Pro");
  })) << program.output();
  program.send("h");
  ASSERT_TRUE(program.readUntil([](const std::string& out) {
    std::vector<std::vector<std::string>> screens = frames(out);
    return !screens.empty() && screens.back()[0].find("Host Name") == std::string::npos;
  })) << program.output();
  program.hangUp();
  EXPECT_EQ(program.wait(), 128 + SIGHUP);
  EXPECT_NE(s::test::fileText(log).find("<table>"), std::string::npos);
  EXPECT_NE(home.settingsText().find("EnableHostNameResolution=\"0\""), std::string::npos)
      << home.settingsText();
}

// The current list's or log's line of the connection to `remote`, in a screen; empty when none.
std::string lineWith(const std::vector<std::string>& screen, const std::string& remote) {
  for (size_t i = 2; i < screen.size(); ++i) {
    if (screen[i].find(remote) != std::string::npos) {
      return screen[i];
    }
  }
  return {};
}

// The sent count of the last screen that shows the connection.
double lastSent(const std::string& output, const std::string& remote) {
  double sent = -1;
  for (const std::vector<std::string>& screen : frames(output)) {
    std::vector<double> counts = byteCounts(lineWith(screen, remote));
    if (counts.size() >= 2) {
      sent = counts[1];
    }
  }
  return sent;
}

// A server in namespace B that takes one connection and reads it to its end; it reports its
// port.
std::unique_ptr<Helper> readingServer(const platform::NetnsPair& pair, bool ipv6) {
  return std::make_unique<Helper>([&pair, ipv6](int out, int hold) {
    platform::NetnsEntry entry(pair.nameB());
    Fd listener =
        ipv6 ? platform::test::ipv6Socket(SOCK_STREAM, platform::NetnsPair::kAddress6B, true)
             : platform::test::tcpListener(platform::NetnsPair::kAddressB);
    report(out, entry.entered() && listener.get() >= 0 ? localPort(listener.get()) : -1);
    Fd peer = platform::test::tcpAccept(listener.get());
    char chunk[4096];
    while (read(peer.get(), chunk, sizeof(chunk)) > 0) {
    }
    holdOn(hold);
    return 0;
  });
}

// A client in namespace A that sends a kilobyte every 100 ms to the server's port until the
// test lets go, then closes; it reports its own port.
std::unique_ptr<Helper> kilobyteSender(const platform::NetnsPair& pair, bool ipv6, int64_t port) {
  return std::make_unique<Helper>([&pair, ipv6, port](int out, int hold) {
    platform::NetnsEntry entry(pair.nameA());
    auto to = static_cast<uint16_t>(port);
    Fd socket = ipv6 ? platform::test::tcpConnect6(platform::NetnsPair::kAddress6B, to)
                     : platform::test::tcpConnect(platform::NetnsPair::kAddressB, to);
    report(out, entry.entered() && socket.get() >= 0 ? localPort(socket.get()) : -1);
    char kilobyte[1024] = {};
    pollfd held{hold, POLLIN, 0};
    for (int i = 0; i < 600 && poll(&held, 1, 100) == 0; ++i) {
      if (write(socket.get(), kilobyte, sizeof(kilobyte)) != sizeof(kilobyte)) {
        return 1;
      }
    }
    return 0;
  });
}

class EndToEndTest : public ::testing::TestWithParam<bool> {};

TEST_P(EndToEndTest, ATcpConnectionIsListedCountedAndLogged) {
  const bool ipv6 = GetParam();
  platform::NetnsPair pair;
  ASSERT_TRUE(pair.create(platform::NetnsPair::Ipv6::Quiet));
  const std::string protocol = ipv6 ? "TCP6" : "TCP";
  const std::string local = ipv6 ? platform::NetnsPair::kAddress6A : platform::NetnsPair::kAddressA;
  const std::string remote =
      ipv6 ? platform::NetnsPair::kAddress6B : platform::NetnsPair::kAddressB;
  std::unique_ptr<Helper> server = readingServer(pair, ipv6);
  int64_t port = server->next();
  ASSERT_GT(port, 0);
  std::unique_ptr<Helper> senderHelper = kilobyteSender(pair, ipv6, port);
  Helper& sender = *senderHelper;
  int64_t senderPort = sender.next();
  ASSERT_GT(senderPort, 0);

  Home home;
  test::RunResult once = runProgram({"ip", "netns", "exec", pair.nameA(), NETVIGIL_BINARY, "--once",
                                     "--cycles", "3", "--period", "0.5s", "--tsv", "--no-resolve"},
                                    home.env());
  ASSERT_EQ(once.status, 0) << once.err;
  std::vector<std::vector<std::string>> rows = tsvRows(once.out);
  auto listed = std::find_if(rows.begin(), rows.end(), [&](const std::vector<std::string>& f) {
    return f.size() == kCells && f[kRemote] == remote && f[kRemotePort] == std::to_string(port);
  });
  ASSERT_NE(listed, rows.end()) << once.out;
  EXPECT_EQ((*listed)[0], protocol);
  EXPECT_EQ((*listed)[1], "ESTABLISHED");
  EXPECT_EQ((*listed)[kPid], std::to_string(sender.pid()));
  EXPECT_EQ((*listed)[kLocal], local);
  EXPECT_EQ((*listed)[kLocalPort], std::to_string(senderPort));
  std::vector<double> onceSent = byteCounts((*listed)[9]);
  ASSERT_EQ(onceSent.size(), 1U) << (*listed)[9];
  EXPECT_GT(onceSent[0], 0);

  std::string log = home.path("log.htm").string();
  PtyProgram program;
  ASSERT_TRUE(program.start({"ip", "netns", "exec", pair.nameA(), NETVIGIL_BINARY, "--console",
                             "--no-resolve", "--period", "0.5s", "--save-log", log},
                            home.env(), 200, 20));
  // Two screens with different sent counts.
  double firstSent = -1;
  ASSERT_TRUE(program.readUntil([&](const std::string& out) {
    double sent = lastSent(out, remote);
    if (firstSent < 0) {
      firstSent = sent > 0 ? sent : -1;
      return false;
    }
    return sent > firstSent;
  })) << program.output();
  double sentShown = lastSent(program.output(), remote);

  sender.release();
  ASSERT_EQ(sender.wait(), 0);
  // The connection leaves the current list, and the log shows it.
  ASSERT_TRUE(program.readUntil([&](const std::string& out) {
    std::vector<std::vector<std::string>> screens = frames(out);
    return !screens.empty() && screens.back().size() > 2 &&
           lineWith(screens.back(), remote).empty();
  })) << program.output();
  sentShown = std::max(sentShown, lastSent(program.output(), remote));
  program.send("l");
  ASSERT_TRUE(program.readUntil([&](const std::string& out) {
    std::vector<std::vector<std::string>> screens = frames(out);
    return !screens.empty() && screens.back().size() > 2 &&
           screens.back()[0].find("[Log]") != std::string::npos &&
           !lineWith(screens.back(), remote).empty();
  })) << program.output();
  program.send("q");
  EXPECT_EQ(program.wait(), 0);

  // The saved row: its end, duration and final counts.
  std::string page = s::test::fileText(log);
  std::string rowStart = "<tr><td>" + protocol + "</td>";
  std::vector<std::string> cells;
  for (size_t at = page.find(rowStart); at != std::string::npos; at = page.find(rowStart, at + 1)) {
    std::string row = page.substr(at + 8, page.find("</td></tr>", at) - at - 8);
    std::vector<std::string> found;
    for (size_t from = 0;;) {
      size_t end = row.find("</td><td>", from);
      found.push_back(row.substr(from, end == std::string::npos ? std::string::npos : end - from));
      if (end == std::string::npos) {
        break;
      }
      from = end + 9;
    }
    if (found.size() == 13 && found[6] == remote && found[7] == std::to_string(port)) {
      cells = found;
    }
  }
  ASSERT_EQ(cells.size(), 13U) << page;
  EXPECT_EQ(cells[4], local);
  EXPECT_EQ(cells[5], std::to_string(senderPort));
  EXPECT_FALSE(cells[1].empty());                                       // End
  EXPECT_FALSE(cells[11].empty());                                      // Start
  EXPECT_NE(cells[10].find_first_of("0123456789"), std::string::npos);  // Duration
  std::vector<double> received = byteCounts(cells[8]);
  std::vector<double> sent = byteCounts(cells[9]);
  ASSERT_EQ(received.size(), 1U) << cells[8];
  ASSERT_EQ(sent.size(), 1U) << cells[9];
  EXPECT_GT(received[0], 0);
  EXPECT_GE(sent[0], sentShown);
}

INSTANTIATE_TEST_SUITE_P(Families, EndToEndTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Ipv6" : "Ipv4"; });

// The pid of a child of `parent`, or -1.
pid_t childOf(pid_t parent) {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", ignored)) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") == std::string::npos &&
        platform::test::statusField(std::stoi(name), "PPid") == std::to_string(parent)) {
      return std::stoi(name);
    }
  }
  return -1;
}

TEST(EndToEnd, UnprivilegedWithTheHelperItCountsNamesOwnersAndHoldsNothing) {
  if (geteuid() != 0) {
    GTEST_SKIP() << "granting the helper's capabilities needs root";
  }
  platform::test::GrantedHelper granted;
  ASSERT_TRUE(granted.ok());
  platform::NetnsPair pair;
  ASSERT_TRUE(pair.create());
  const std::string remote = platform::NetnsPair::kAddressB;
  // Root's listener in the namespace, and a flow of root's to the far side.
  Helper rootListener([&pair](int out, int hold) { return holdListener(pair.nameA(), out, hold); });
  ASSERT_GT(rootListener.next(), 0);
  Helper sender([&pair, &remote](int out, int hold) {
    Fd far;
    {
      platform::NetnsEntry entry(pair.nameB());
      far = platform::test::udpSocket(remote.c_str());
    }
    platform::NetnsEntry entry(pair.nameA());
    Fd near = platform::test::udpSocket(platform::NetnsPair::kAddressA);
    report(out, entry.entered() && far.get() >= 0 && near.get() >= 0 ? 1 : -1);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(localPort(far.get()));
    to.sin_addr.s_addr = platform::test::ipv4(remote.c_str());
    char kilobyte[1024] = {};
    pollfd held{hold, POLLIN, 0};
    for (int i = 0; i < 600 && poll(&held, 1, 100) == 0; ++i) {
      sendto(near.get(), kilobyte, sizeof kilobyte, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }
    return 0;
  });
  ASSERT_EQ(sender.next(), 1);

  Home home;
  std::vector<std::string> env = home.env();
  env.push_back("NETVIGIL_RIGHTS_HELPER=" + granted.path());
  PtyProgram program;
  ASSERT_TRUE(program.start(
      {"ip", "netns", "exec", pair.nameA(), "setpriv", "--reuid=nobody", "--regid=nogroup",
       "--clear-groups", NETVIGIL_BINARY, "--console", "--no-resolve", "--period", "0.5s"},
      env, 200, 20));
  // Root's listener named by its pid, and root's datagrams counted (UDP rows show no remote).
  const std::string rootPid = " " + std::to_string(rootListener.pid()) + " ";
  const std::string senderPid = " " + std::to_string(sender.pid()) + " ";
  ASSERT_TRUE(program.readUntil([&](const std::string& out) {
    std::vector<std::vector<std::string>> screens = frames(out);
    if (screens.empty()) {
      return false;
    }
    std::vector<double> counts = byteCounts(lineWith(screens.back(), senderPid));
    return !lineWith(screens.back(), rootPid).empty() && counts.size() >= 2 && counts[1] > 0;
  })) << program.output();
  // While it captures, the program holds no capability; its helper holds only its own.
  EXPECT_EQ(platform::test::statusField(program.pid(), "CapEff"), "0000000000000000");
  EXPECT_EQ(platform::test::statusField(program.pid(), "CapPrm"), "0000000000000000");
  pid_t helper = childOf(program.pid());
  ASSERT_GT(helper, 0);
  EXPECT_EQ(platform::test::statusField(helper, "CapPrm"), "0000000000083004");
  EXPECT_EQ(platform::test::statusField(helper, "CapEff"), "0000000000000000");
  // Nothing to advise: every right is served.
  EXPECT_EQ(program.output().find("CAP_NET_RAW"), std::string::npos) << program.output();
  EXPECT_EQ(program.output().find("netvigil-rights names"), std::string::npos);
  program.send("q");
  EXPECT_EQ(program.wait(), 0);
  EXPECT_TRUE(platform::test::endsSoon(helper));
}

}  // namespace
}  // namespace s::app::console

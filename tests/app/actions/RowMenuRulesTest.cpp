#include <unistd.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/actions/RowMenuRules.h"

namespace s::app {
namespace {

constexpr int32_t kSomePid = 4242;

SelectedConnection row(int32_t remotePort, std::string name = "firefox-esr",
                       std::string path = "/usr/lib/firefox-esr/firefox-esr",
                       bool disconnectable = true, int32_t pid = kSomePid) {
  SelectedConnection connection;
  connection.pid = pid;
  connection.remotePort = remotePort;
  connection.disconnectable = disconnectable;
  connection.signalable = true;
  connection.processName = std::move(name);
  connection.processPath = std::move(path);
  return connection;
}

// The six commands' states in menu order: web, locate, property, disconnect, close, kill.
std::string states(const RowMenuEnables& enables) {
  std::string text;
  for (RowCommand command : kRowCommands) {
    text += enables.enabled(command) ? '+' : '-';
  }
  return text;
}

TEST(RowMenuRules, EnableTable) {
  SelectedConnection notSignalable = row(80);
  notSignalable.signalable = false;
  const struct {
    const char* what;
    std::vector<SelectedConnection> selection;
    const char* expected;
  } cases[] = {
      {"nothing selected: all but Disconnect", {}, "+++-++"},
      {"svchost.exe to 443", {row(443, "svchost.exe", "C:/svchost.exe")}, "-+++--"},
      {"names match whole, ignoring case",
       {row(80, "SVCHOST.EXE"), row(80, "LSASS.exe")},
       "++++--"},
      {"a longer name is no protected name", {row(80, "svchost.exe.bin")}, "++++++"},
      {"System and explorer.exe", {row(80, "System"), row(80, "explorer.exe")}, "++++--"},
      {"every row on port 80", {row(80), row(80, "curl", "/usr/bin/curl")}, "++++++"},
      {"one row off port 80", {row(80), row(8080)}, "-+++++"},
      {"a path unknown", {row(80), row(80, "x", "")}, "+--+++"},
      {"listening and UDP only", {row(-1, "sshd", "/usr/sbin/sshd", false)}, "-++-++"},
      {"one disconnectable among others", {row(-1, "a", "/a", false), row(443)}, "-+++++"},
      {"pid 1", {row(80, "systemd", "/usr/lib/systemd/systemd", true, 1)}, "++++--"},
      {"this program", {row(80, "netvigil", "/x/netvigil", true, getpid())}, "++++--"},
      {"an owner nobody may see", {row(80, "", "", true, -1)}, "+--+--"},
      {"another user's process", {notSignalable}, "++++--"},
  };
  ProtectedProcesses protectedProcesses;
  for (const auto& c : cases) {
    EXPECT_EQ(states(rowMenuEnables(c.selection, protectedProcesses)), c.expected) << c.what;
  }
}

TEST(RowMenuRules, AddedPidsAreProtected) {
  ProtectedProcesses protectedProcesses;
  const std::vector<SelectedConnection> selection = {row(80)};
  EXPECT_EQ(states(rowMenuEnables(selection, protectedProcesses)), "++++++");
  protectedProcesses.addPid(kSomePid);
  protectedProcesses.addPid(kSomePid);
  protectedProcesses.addPid(0);
  EXPECT_EQ(states(rowMenuEnables(selection, protectedProcesses)), "++++--");
  EXPECT_EQ(protectedProcesses.pids(), (std::vector<int32_t>{1, getpid(), kSomePid}));
}

}  // namespace
}  // namespace s::app

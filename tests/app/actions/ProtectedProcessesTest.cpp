#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "app/actions/ProtectedProcesses.h"
#include "tests/platform/x11/WindowManager.h"
#include "tests/platform/x11/XvfbServer.h"
#include "tests/support/SessionBusDaemon.h"

namespace s::app {
namespace {

bool holds(const ProtectedProcesses& processes, int32_t pid) {
  return std::ranges::find(processes.pids(), pid) != processes.pids().end();
}

TEST(ProtectedProcesses, TheDesktopsOwnProcessesAndThisProgram) {
  s::testing::XvfbServer server;
  ASSERT_FALSE(server.name().empty());
  s::testing::WindowManager manager(server.name());
  s::test::SessionBusDaemon bus;
  ASSERT_TRUE(bus.ok());
  const char* display = getenv("DISPLAY");
  std::optional<std::string> previous;
  if (display != nullptr) {
    previous = display;
  }
  setenv("DISPLAY", server.name().c_str(), 1);

  ProtectedProcesses processes;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  // openbox takes the screen a moment after it starts.
  while (!holds(processes, manager.pid()) && std::chrono::steady_clock::now() < deadline) {
    processes.addDesktopProcesses();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (previous) {
    setenv("DISPLAY", previous->c_str(), 1);
  } else {
    unsetenv("DISPLAY");
  }
  for (int32_t pid : {1, static_cast<int32_t>(getpid()), static_cast<int32_t>(server.pid()),
                      static_cast<int32_t>(manager.pid()), static_cast<int32_t>(bus.pid())}) {
    EXPECT_TRUE(holds(processes, pid)) << pid;
    EXPECT_TRUE(processes.isProtected(pid, "anything"));
  }
  // Asking again adds nobody twice.
  EXPECT_EQ(processes.pids().size(), 5U);
  EXPECT_FALSE(processes.isProtected(static_cast<int32_t>(getpid()) + 100000, "bash"));
}

}  // namespace
}  // namespace s::app

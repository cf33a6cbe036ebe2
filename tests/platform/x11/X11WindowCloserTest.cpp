#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/linux/Processes.h"
#include "platform/x11/X11DesktopProcesses.h"
#include "platform/x11/X11Properties.h"
#include "platform/x11/X11WindowCloser.h"
#include "tests/platform/x11/WindowManager.h"
#include "tests/platform/x11/XvfbServer.h"

// Xlib's macros clash with gtest's names, so Xlib comes last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace s::platform::x11 {
namespace {

constexpr int kClosedByItself = 7;

enum class Program : uint8_t { kTitledWindow, kUntitledWindow, kNoWindow };

// A child with a top-level window that ends by its own close handling (WM_DELETE_WINDOW), as
// an editor does after asking "save?".
pid_t startProgram(const std::string& display, Program kind) {
  pid_t child = fork();
  if (child != 0) {
    return child;
  }
  if (kind == Program::kNoWindow) {
    for (;;) {
      pause();
    }
  }
  Display* x = XOpenDisplay(display.c_str());
  if (x == nullptr) {
    _exit(2);
  }
  ::Window window = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 200, 100, 0, 0, 0);
  if (kind == Program::kTitledWindow) {
    XStoreName(x, window, "Unsaved notes");
  }
  long pid = getpid();
  XChangeProperty(x, window, XInternAtom(x, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&pid), 1);
  Atom deleteWindow = XInternAtom(x, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(x, window, &deleteWindow, 1);
  XMapWindow(x, window);
  for (;;) {
    XEvent event;
    XNextEvent(x, &event);
    if (event.type == ClientMessage && static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow) {
      _exit(kClosedByItself);
    }
  }
}

// Waits until the window manager lists a window of `pid`.
bool managed(const std::string& display, pid_t pid) {
  Display* x = XOpenDisplay(display.c_str());
  if (x == nullptr) {
    return false;
  }
  bool found = false;
  std::vector<unsigned long> clients;
  std::vector<unsigned long> owner;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!found && std::chrono::steady_clock::now() < deadline) {
    if (readLongs(x, DefaultRootWindow(x), XInternAtom(x, "_NET_CLIENT_LIST", False), XA_WINDOW,
                  clients)) {
      found = std::ranges::any_of(clients, [&](unsigned long client) {
        return readLongs(x, client, XInternAtom(x, "_NET_WM_PID", False), XA_CARDINAL, owner) &&
               owner.size() == 1 && owner[0] == static_cast<unsigned long>(pid);
      });
    }
    if (!found) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  XCloseDisplay(x);
  return found;
}

// 0 when it exited with 0, the exit status, or 100 + the signal that ended it.
int howItEnded(pid_t child) {
  int status = 0;
  waitpid(child, &status, 0);
  return WIFSIGNALED(status) ? 100 + WTERMSIG(status) : WEXITSTATUS(status);
}

class X11WindowCloserTest : public ::testing::Test {
 protected:
  s::testing::XvfbServer server_;
  s::testing::WindowManager manager_{server_.name()};
};

TEST_F(X11WindowCloserTest, TitledWindowsCloseThemselvesOthersGetTerminate) {
  ASSERT_FALSE(server_.name().empty());
  ASSERT_TRUE(manager_.ready());
  pid_t editor = startProgram(server_.name(), Program::kTitledWindow);
  pid_t untitled = startProgram(server_.name(), Program::kUntitledWindow);
  pid_t windowless = startProgram(server_.name(), Program::kNoWindow);
  ASSERT_TRUE(managed(server_.name(), editor));
  ASSERT_TRUE(managed(server_.name(), untitled));

  X11WindowCloser closer(server_.name());
  const int32_t pids[] = {editor, untitled, windowless};
  closeProcesses(pids, closer);
  EXPECT_EQ(howItEnded(editor), kClosedByItself);
  EXPECT_EQ(howItEnded(untitled), 100 + SIGTERM);
  EXPECT_EQ(howItEnded(windowless), 100 + SIGTERM);
}

TEST_F(X11WindowCloserTest, WithoutAnXServerTheRequestIsTerminate) {
  pid_t windowless = startProgram(server_.name(), Program::kNoWindow);
  X11WindowCloser closer(":netvigil-no-such-display");
  EXPECT_TRUE(closer.askToClose(windowless));
  EXPECT_EQ(howItEnded(windowless), 100 + SIGTERM);
  EXPECT_FALSE(closer.askToClose(0));
}

TEST_F(X11WindowCloserTest, DesktopProcessesAreTheServerAndTheWindowManager) {
  ASSERT_TRUE(manager_.running());
  std::vector<int32_t> pids;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  // openbox names itself a moment after it starts.
  while (pids.size() < 2 && std::chrono::steady_clock::now() < deadline) {
    pids.clear();
    desktopProcessIds(pids, server_.name());
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(pids, (std::vector<int32_t>{server_.pid(), manager_.pid()}));

  pids.clear();
  desktopProcessIds(pids, ":netvigil-no-such-display");
  EXPECT_TRUE(pids.empty());
}

}  // namespace
}  // namespace s::platform::x11

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TempFolder.h"

// Xlib's macros clash with gtest's names, so Xlib comes last.
#include "tests/app/XProgram.h"
#include "tests/platform/x11/WindowManager.h"
#include "tests/platform/x11/XvfbServer.h"

namespace s::app {
namespace {

using test::TempFolder;

constexpr long kIconicState = 3;

// The program's own top-level window (found by its _NET_WM_PID, under the window manager's
// frames too), or 0.
Window clientWindowOf(Display* display, Window parent, pid_t pid, Atom wmPid) {
  Window root = 0;
  Window up = 0;
  Window* children = nullptr;
  unsigned count = 0;
  Window found = 0;
  if (XQueryTree(display, parent, &root, &up, &children, &count) == 0) {
    return 0;
  }
  for (unsigned i = 0; i < count && found == 0; ++i) {
    Atom type = 0;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* value = nullptr;
    if (XGetWindowProperty(display, children[i], wmPid, 0, 1, False, XA_CARDINAL, &type, &format,
                           &items, &after, &value) == Success &&
        value != nullptr) {
      if (items == 1 && *reinterpret_cast<long*>(value) == pid) {
        found = children[i];
      }
      XFree(value);
    }
    if (found == 0) {
      found = clientWindowOf(display, children[i], pid, wmPid);
    }
  }
  XFree(children);
  return found;
}

// ICCCM's WM_STATE of the window as the window manager keeps it: 1 normal, 3 iconic.
std::optional<long> wmStateOf(Display* display, Window window) {
  const Atom wmState = XInternAtom(display, "WM_STATE", False);
  Atom type = 0;
  int format = 0;
  unsigned long items = 0;
  unsigned long after = 0;
  unsigned char* value = nullptr;
  std::optional<long> state;
  if (XGetWindowProperty(display, window, wmState, 0, 2, False, wmState, &type, &format, &items,
                         &after, &value) == Success &&
      value != nullptr) {
    if (items >= 1) {
      state = *reinterpret_cast<long*>(value);
    }
    XFree(value);
  }
  return state;
}

template <class Condition>
bool waitFor(Condition condition, std::chrono::seconds limit = 30s) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) {
      return false;
    }
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

// A private X server with a window manager, and a settings folder of the test's own.
class WindowAppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(server_.name().empty()) << "Xvfb did not start";
    ASSERT_TRUE(manager_.running());
    display_ = XOpenDisplay(server_.name().c_str());
    ASSERT_NE(display_, nullptr);
    // Windows come and go while the tree is walked: a window gone by then is no failure.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    wmPid_ = XInternAtom(display_, "_NET_WM_PID", False);
    // The program starts once the window manager runs, as on a desktop.
    const Atom check = XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", False);
    ASSERT_TRUE(waitFor([&] {
      Atom type = 0;
      int format = 0;
      unsigned long items = 0;
      unsigned long after = 0;
      unsigned char* value = nullptr;
      const bool managed =
          XGetWindowProperty(display_, DefaultRootWindow(display_), check, 0, 1, False, XA_WINDOW,
                             &type, &format, &items, &after, &value) == Success &&
          items == 1;
      if (value != nullptr) {
        XFree(value);
      }
      return managed;
    })) << "openbox does not run";
  }
  void TearDown() override {
    if (display_ != nullptr) {
      XCloseDisplay(display_);
    }
  }

  std::vector<std::string> env() const {
    return {"NETVIGIL_HOME=" + home_.root().string(), "LANGUAGE=en", "LC_ALL=C"};
  }
  // The program's window in the given WM_STATE, once it is.
  Window windowInState(const XProgram& program, long state) {
    Window window = 0;
    waitFor([&] {
      window = clientWindowOf(display_, DefaultRootWindow(display_), program.pid(), wmPid_);
      return window != 0 && wmStateOf(display_, window) == state;
    });
    if (window == 0 || wmStateOf(display_, window) != state) {
      XWindowAttributes attributes{};
      if (window != 0) {
        XGetWindowAttributes(display_, window, &attributes);
      }
      ADD_FAILURE() << "window " << window << " in state "
                    << (window != 0 ? wmStateOf(display_, window).value_or(-1) : -1)
                    << ", map state " << attributes.map_state;
      return 0;
    }
    return window;
  }
  std::string settingsText() const { return test::fileText(home_.path("savedata/SaveData.xml")); }

  s::testing::XvfbServer server_;
  s::testing::WindowManager manager_{server_.name()};
  TempFolder home_;
  Display* display_ = nullptr;
  Atom wmPid_ = 0;
};

TEST_F(WindowAppTest, ShowsTheMainWindowAndAnEndSignalEndsItAsExitDoesKeepingPlaceAndColumns) {
  std::filesystem::create_directories(home_.path("savedata"));
  // The processes' column first: the order comes back and goes out again as it was.
  std::ofstream(home_.path("savedata/SaveData.xml"))
      << "<savedata><MainWindow><ConnectionsColumnOrder length=\"12\" _0=\"3\" _1=\"0\" "
         "_2=\"1\" _3=\"2\" _4=\"4\" _5=\"5\" _6=\"6\" _7=\"7\" _8=\"8\" _9=\"9\" _10=\"10\" "
         "_11=\"11\"/></MainWindow></savedata>";
  XProgram program(server_.name(), {"--no-resolve"}, env());
  ASSERT_GT(program.pid(), 0);
  const Window window = windowInState(program, 1);
  ASSERT_NE(window, 0U) << program.waitForExit(1s) << program.errors();
  XWindowAttributes attributes{};
  ASSERT_NE(XGetWindowAttributes(display_, window, &attributes), 0);
  EXPECT_EQ(attributes.width, 840);
  EXPECT_EQ(attributes.height, 600);
  // Painted: the list's header, rows and the status bar are more than a plain surface.
  TempFolder folder;
  const std::string path = folder.path("main-window.png").string();
  Shot shot;
  EXPECT_TRUE(
      waitFor([&] { return takeShot(display_, window, path, shot) && shot.distinct() > 20; }));
  keepShot(path, "netvigil-main-window.png");

  kill(program.pid(), SIGTERM);
  EXPECT_EQ(program.waitForExit(30s), 128 + SIGTERM) << program.errors();
  const std::string saved = settingsText();
  EXPECT_NE(saved.find("_0=\"3\" _1=\"0\""), std::string::npos) << saved;
  EXPECT_NE(saved.find("Width=\"840\""), std::string::npos) << saved;
  EXPECT_NE(saved.find("<Version>"), std::string::npos) << saved;
}

TEST_F(WindowAppTest, StartedIconizedASecondStartBringsTheFirstBackAndEndsWithNought) {
  // With another argument, "/" for "-" and in capitals: iconized all the same.
  XProgram first(server_.name(), {"--no-resolve", "/STARTUP"}, env());
  ASSERT_GT(first.pid(), 0);
  const Window window = windowInState(first, kIconicState);
  ASSERT_NE(window, 0U) << "not iconized " << first.waitForExit(1s) << first.errors();

  XProgram second(server_.name(), {}, env());
  EXPECT_EQ(second.waitForExit(30s), 0) << second.errors();
  EXPECT_NE(windowInState(first, 1), 0U) << "the first instance did not come back";
  EXPECT_EQ(first.waitForExit(0s), -1) << "the first instance ended";

  // One that died leaves nothing behind: the next start is the instance.
  kill(first.pid(), SIGKILL);
  EXPECT_EQ(first.waitForExit(30s), 128 + SIGKILL);
  XProgram third(server_.name(), {}, env());
  EXPECT_NE(windowInState(third, 1), 0U) << third.errors();
}

TEST_F(WindowAppTest, ALostDisplayEndsItAsExitDoesWithOne) {
  XProgram program(server_.name(), {"--no-resolve"}, env());
  ASSERT_GT(program.pid(), 0);
  ASSERT_NE(windowInState(program, 1), 0U) << program.waitForExit(1s) << program.errors();
  XCloseDisplay(display_);
  display_ = nullptr;
  server_.stop();
  EXPECT_EQ(program.waitForExit(30s), 1) << program.errors();
  EXPECT_NE(settingsText().find("Width=\"840\""), std::string::npos) << settingsText();
}

}  // namespace
}  // namespace s::app

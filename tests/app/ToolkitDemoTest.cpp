#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/app/XProgram.h"
#include "tests/platform/x11/XvfbServer.h"
#include "tests/support/TempFolder.h"

// Xlib's macros clash with gtest's names, so Xlib comes last.
#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>

#include "tests/platform/x11/XClientMessage.h"
#include "tests/platform/x11/XScreenshot.h"

namespace s::app {
namespace {

using namespace std::chrono_literals;

// The "Classic LG" scheme of the ThinWindow family: window surface, border line, first series.
constexpr const char* kSkin = "Classic LG";
constexpr std::uint32_t kSurface = 0x747474;
constexpr std::uint32_t kBorder = 0x111111;
constexpr std::uint32_t kGraph = 0xC3EA00;
// The surface of the skin after it in the family's table.
constexpr std::uint32_t kNextSurface = 0xECE9D8;

class ToolkitDemoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(server_.name().empty()) << "Xvfb did not start";
    display_ = XOpenDisplay(server_.name().c_str());
    ASSERT_NE(display_, nullptr);
  }
  void TearDown() override {
    if (display_ != nullptr) {
      XCloseDisplay(display_);
    }
  }

  s::testing::XvfbServer server_;
  Display* display_ = nullptr;
};

TEST_F(ToolkitDemoTest, ShowsTheSkinnedWindowWithALiveGraphAndEndsByItself) {
  XProgram demo(server_.name(), {"--toolkit-demo", "--seconds", "12", "--skin", kSkin});
  ASSERT_GT(demo.pid(), 0);
  const Window window = mappedWindowOf(display_, demo.pid(), 30s);
  ASSERT_NE(window, 0U) << demo.errors();
  s::test::TempFolder folder;
  const std::string path = folder.path("toolkit-demo.png").string();
  // Painting and the graph's samples (one column each 500 ms) follow the mapping: wait for a
  // few columns, bounded.
  Shot shot;
  for (int i = 0; i < 100; ++i) {
    ASSERT_TRUE(takeShot(display_, window, path, shot));
    if (shot.count(kGraph) > 60) {
      break;
    }
    std::this_thread::sleep_for(50ms);
  }
  keepShot(path, "netvigil-demo.png");
  ASSERT_FALSE(shot.pixels.empty());
  // Text in several scripts, glyphs and the graph give many colours (anti-aliasing included).
  EXPECT_GT(shot.distinct(), 20U);
  // The skin's surface covers most of the window; its border lines and the graph are there.
  EXPECT_GT(shot.count(kSurface), shot.pixels.size() / 3);
  EXPECT_GT(shot.count(kBorder), 100U);
  EXPECT_GT(shot.count(kGraph), 10U);
  EXPECT_EQ(demo.waitForExit(60s), 0) << demo.errors();
}

TEST_F(ToolkitDemoTest, TheSkinButtonSwitchesSkinsAndTheWindowManagersCloseEndsTheProgram) {
  XProgram demo(server_.name(), {"--toolkit-demo", "--skin", kSkin});
  ASSERT_GT(demo.pid(), 0);
  const Window window = mappedWindowOf(display_, demo.pid(), 30s);
  ASSERT_NE(window, 0U) << demo.errors();
  s::test::TempFolder folder;
  const std::string path = folder.path("switched.png").string();
  XWindowAttributes a{};
  ASSERT_NE(XGetWindowAttributes(display_, window, &a), 0);
  Shot shot;
  for (int i = 0; i < 100 && shot.count(kSurface) < shot.pixels.size() / 3 + 1; ++i) {
    std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(takeShot(display_, window, path, shot));
  }
  // One click on "Next skin", the first button, at the top left below the menu bar.
  XTestFakeMotionEvent(display_, -1, a.x + 40, a.y + 43, 0);
  XTestFakeButtonEvent(display_, 1, True, 0);
  XTestFakeButtonEvent(display_, 1, False, 0);
  XSync(display_, False);
  for (int i = 0; i < 100 && shot.count(kNextSurface) < shot.pixels.size() / 3; ++i) {
    std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(takeShot(display_, window, path, shot));
  }
  EXPECT_GT(shot.count(kNextSurface), shot.pixels.size() / 3);
  EXPECT_EQ(shot.count(kSurface), 0U);

  s::testing::askToClose(display_, window);
  EXPECT_EQ(demo.waitForExit(60s), 0) << demo.errors();
}

TEST_F(ToolkitDemoTest, StaysNearlyIdleWhenNothingChanges) {
  XProgram demo(server_.name(), {"--toolkit-demo", "--idle", "--seconds", "14"});
  ASSERT_GT(demo.pid(), 0);
  ASSERT_NE(mappedWindowOf(display_, demo.pid(), 30s), 0U) << demo.errors();
  std::this_thread::sleep_for(2s);
  const double before = demo.cpuMs();
  const auto start = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(10s);
  const double used = demo.cpuMs() - before;
  const double wall =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::printf("idle toolkit demo: %.1f ms CPU over %.0f ms\n", used, wall);
  RecordProperty("idle_cpu_ms", std::to_string(used));
  // Only a sanity bound: an idle window must not spin.
  EXPECT_LT(used, wall / 4);
  EXPECT_EQ(demo.waitForExit(60s), 0) << demo.errors();
}

// The desktop's resolution as xrdb sets it: the RESOURCE_MANAGER property of the root window.
void setXftDpi(Display* display, int dpi) {
  const std::string resources = "Xft.dpi:\t" + std::to_string(dpi) + "\n";
  XChangeProperty(display, DefaultRootWindow(display), XA_RESOURCE_MANAGER, XA_STRING, 8,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(resources.data()),
                  static_cast<int>(resources.size()));
  XSync(display, False);
}

// At Xft.dpi 144 the demo is one and a half times, at 192 twice the size it has at 96, and its
// text is laid out at that resolution: the skin's light text covers about the square of the
// factor more pixels (a window only made larger would keep its text as it was).
TEST(ToolkitDemoScale, FollowsTheDesktopsResolution) {
  s::testing::XvfbServer server("1600x1200x24");
  ASSERT_FALSE(server.name().empty()) << "Xvfb did not start";
  Display* display = XOpenDisplay(server.name().c_str());
  ASSERT_NE(display, nullptr);
  struct Seen {
    int dpi;
    int width = 0;
    int height = 0;
    double text = 0;
  };
  std::vector<Seen> runs = {{96}, {144}, {192}};
  s::test::TempFolder folder;
  for (Seen& run : runs) {
    setXftDpi(display, run.dpi);
    XProgram demo(server.name(), {"--toolkit-demo", "--idle", "--skin", kSkin});
    ASSERT_GT(demo.pid(), 0);
    const Window window = mappedWindowOf(display, demo.pid(), 30s);
    ASSERT_NE(window, 0U) << demo.errors();
    const std::string path = folder.path("demo-" + std::to_string(run.dpi) + ".png").string();
    // Painted once the surface covers most of it and two shots in a row agree.
    Shot shot;
    Shot last;
    for (int i = 0; i < 100; ++i) {
      std::this_thread::sleep_for(50ms);
      ASSERT_TRUE(takeShot(display, window, path, shot));
      if (shot.count(kSurface) > shot.pixels.size() / 3 && shot.pixels == last.pixels) {
        break;
      }
      last = shot;
    }
    keepShot(path, "netvigil-demo-" + std::to_string(run.dpi) + "dpi.png");
    XWindowAttributes a{};
    ASSERT_NE(XGetWindowAttributes(display, window, &a), 0);
    run.width = a.width;
    run.height = a.height;
    run.text = shot.lightInk(kSurface);
    s::testing::askToClose(display, window);
    EXPECT_EQ(demo.waitForExit(60s), 0) << demo.errors();
  }
  XCloseDisplay(display);
  EXPECT_EQ(runs[0].width, 560);
  EXPECT_EQ(runs[0].height, 400);
  EXPECT_EQ(runs[1].width, 840);
  EXPECT_EQ(runs[1].height, 600);
  EXPECT_EQ(runs[2].width, 1120);
  EXPECT_EQ(runs[2].height, 800);
  ASSERT_GT(runs[0].text, 100.0);
  const double oneAndAHalf = runs[1].text / runs[0].text;
  const double twice = runs[2].text / runs[0].text;
  std::printf("light ink at 96, 144, 192 dpi: %.0f, %.0f, %.0f pixels (%.2fx, %.2fx)\n",
              runs[0].text, runs[1].text, runs[2].text, oneAndAHalf, twice);
  EXPECT_GT(oneAndAHalf, 1.9);
  EXPECT_LT(oneAndAHalf, 2.6);
  EXPECT_GT(twice, 3.5);
  EXPECT_LT(twice, 4.6);
}

TEST(ToolkitDemo, WithoutADisplayTellsSoAndFails) {
  XProgram demo("", {"--toolkit-demo", "--seconds", "1"});
  ASSERT_GT(demo.pid(), 0);
  EXPECT_EQ(demo.waitForExit(30s), 1);
  EXPECT_NE(demo.errors().find("needs an X display"), std::string::npos);
}

TEST(ToolkitDemo, AnUnknownSkinIsRefusedWithTheListOfSkins) {
  XProgram demo(":0", {"--toolkit-demo", "--skin", "No Such Skin"});
  ASSERT_GT(demo.pid(), 0);
  EXPECT_EQ(demo.waitForExit(30s), 2);
  const std::string errors = demo.errors();
  EXPECT_NE(errors.find("unknown skin \"No Such Skin\""), std::string::npos) << errors;
  EXPECT_NE(errors.find("  Classic LG\n"), std::string::npos) << errors;
}

}  // namespace
}  // namespace s::app

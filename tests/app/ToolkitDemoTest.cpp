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

// The demo binary as a child, with DISPLAY set to `display` (removed when empty) and its
// standard error in a pipe.
class Demo {
 public:
  Demo(const std::string& display, std::vector<std::string> args) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string_view entry = *e;
      if (!entry.starts_with("DISPLAY=") && !entry.starts_with("LSAN_OPTIONS=")) {
        env.emplace_back(entry);
      }
    }
    // The leak checker of a sanitized build ignores what fontconfig keeps to the end.
    env.emplace_back("LSAN_OPTIONS=suppressions=" NETVIGIL_DEMO_LSAN);
    if (!display.empty()) {
      env.push_back("DISPLAY=" + display);
    }
    args.insert(args.begin(), {NETVIGIL_BINARY, "--toolkit-demo"});
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& a : args) {
      argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    envp.reserve(env.size() + 1);
    for (std::string& e : env) {
      envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
      return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    if (posix_spawn(&pid_, NETVIGIL_BINARY, &actions, nullptr, argv.data(), envp.data()) != 0) {
      pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    errors_ = fds[0];
  }
  ~Demo() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (errors_ >= 0) {
      close(errors_);
    }
  }
  Demo(const Demo&) = delete;
  Demo& operator=(const Demo&) = delete;

  pid_t pid() const { return pid_; }
  // The exit status once the child ends by itself within `limit`; -1 when it did not.
  int waitForExit(std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (pid_ > 0 && std::chrono::steady_clock::now() < end) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(20ms);
    }
    return -1;
  }
  // Standard error, read once the child has ended.
  std::string errors() {
    std::string text;
    char buffer[512];
    ssize_t n = 0;
    while ((n = read(errors_, buffer, sizeof buffer)) > 0) {
      text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
  }
  // User and system CPU time so far, in milliseconds.
  double cpuMs() const {
    std::ifstream in("/proc/" + std::to_string(pid_) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Fields after the command name, which is in parentheses and may hold spaces.
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    double ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
      if (i >= 14) {
        ticks += std::stod(field);
      }
    }
    return ticks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
  }

 private:
  pid_t pid_ = -1;
  int errors_ = -1;
};

// The child's top-level window once it is mapped (found by its _NET_WM_PID), or 0.
Window mappedWindowOf(Display* display, pid_t pid, std::chrono::seconds limit) {
  const Atom wmPid = XInternAtom(display, "_NET_WM_PID", False);
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) != 0) {
      for (unsigned i = 0; i < count && found == 0; ++i) {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char* value = nullptr;
        if (XGetWindowProperty(display, children[i], wmPid, 0, 1, False, XA_CARDINAL, &type,
                               &format, &items, &after, &value) == Success &&
            value != nullptr) {
          XWindowAttributes attributes{};
          if (items == 1 && *reinterpret_cast<long*>(value) == pid &&
              XGetWindowAttributes(display, children[i], &attributes) != 0 &&
              attributes.map_state == IsViewable) {
            found = children[i];
          }
          XFree(value);
        }
      }
      XFree(children);
    }
    if (found != 0) {
      return found;
    }
    std::this_thread::sleep_for(50ms);
  }
  return 0;
}

struct Shot {
  std::vector<std::uint32_t> pixels;
  std::size_t count(std::uint32_t colour) const {
    return static_cast<std::size_t>(std::count(pixels.begin(), pixels.end(), colour));
  }
  // How much lighter than `ground` the picture is, summed over its pixels: the area light text
  // covers, its smoothed edges counted by how much of each pixel they cover.
  double lightInk(std::uint32_t ground) const {
    auto level = [](std::uint32_t p) {
      return (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3.0;
    };
    double sum = 0;
    for (std::uint32_t p : pixels) {
      sum += std::max(0.0, level(p) - level(ground)) / (255.0 - level(ground));
    }
    return sum;
  }
  std::size_t distinct() const {
    return std::set<std::uint32_t>(pixels.begin(), pixels.end()).size();
  }
};

// The window as the X server shows it, through the PNG file written at `path`.
bool takeShot(Display* display, Window window, const std::string& path, Shot& shot) {
  XWindowAttributes a{};
  if (XGetWindowAttributes(display, window, &a) == 0 ||
      !s::testing::screenshot(display, a.x, a.y, a.width, a.height, path)) {
    return false;
  }
  cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(png) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(png);
    return false;
  }
  cairo_surface_flush(png);
  const int width = cairo_image_surface_get_width(png);
  const int height = cairo_image_surface_get_height(png);
  shot.pixels.clear();
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(
        cairo_image_surface_get_data(png) + y * cairo_image_surface_get_stride(png));
    for (int x = 0; x < width; ++x) {
      shot.pixels.push_back(row[x] & 0xFFFFFFu);
    }
  }
  cairo_surface_destroy(png);
  return true;
}

// Keeps the screenshot for a look when NETVIGIL_KEEP_SCREENSHOT is set.
void keepShot(const std::string& path, const std::string& name) {
  if (std::getenv("NETVIGIL_KEEP_SCREENSHOT") != nullptr) {
    std::filesystem::copy_file(path, "/tmp/" + name,
                               std::filesystem::copy_options::overwrite_existing);
  }
}

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
  Demo demo(server_.name(), {"--seconds", "12", "--skin", kSkin});
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
  Demo demo(server_.name(), {"--skin", kSkin});
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
  Demo demo(server_.name(), {"--idle", "--seconds", "14"});
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
    Demo demo(server.name(), {"--idle", "--skin", kSkin});
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
  Demo demo("", {"--seconds", "1"});
  ASSERT_GT(demo.pid(), 0);
  EXPECT_EQ(demo.waitForExit(30s), 1);
  EXPECT_NE(demo.errors().find("needs an X display"), std::string::npos);
}

TEST(ToolkitDemo, AnUnknownSkinIsRefusedWithTheListOfSkins) {
  Demo demo(":0", {"--skin", "No Such Skin"});
  ASSERT_GT(demo.pid(), 0);
  EXPECT_EQ(demo.waitForExit(30s), 2);
  const std::string errors = demo.errors();
  EXPECT_NE(errors.find("unknown skin \"No Such Skin\""), std::string::npos) << errors;
  EXPECT_NE(errors.find("  Classic LG\n"), std::string::npos) << errors;
}

}  // namespace
}  // namespace s::app

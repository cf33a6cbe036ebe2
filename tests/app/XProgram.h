#pragma once

#include <cairo.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// Xlib's macros clash with gtest's names: include this after gtest.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include "tests/platform/x11/XScreenshot.h"

extern char** environ;

// The program under test on an X server: the child, its window, screenshots of it.
namespace s::app {

using namespace std::chrono_literals;

// The program as a child, with DISPLAY set to `display` (removed when empty), `env` added to
// its environment and its standard error in a pipe.
class XProgram {
 public:
  XProgram(const std::string& display, std::vector<std::string> args,
           const std::vector<std::string>& env = {}) {
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string_view entry = *e;
      if (!entry.starts_with("DISPLAY=") && !entry.starts_with("LSAN_OPTIONS=")) {
        environment.emplace_back(entry);
      }
    }
    // The leak checker of a sanitized build ignores what fontconfig keeps to the end.
    environment.emplace_back("LSAN_OPTIONS=suppressions=" NETVIGIL_DEMO_LSAN);
    if (!display.empty()) {
      environment.push_back("DISPLAY=" + display);
    }
    environment.insert(environment.end(), env.begin(), env.end());
    args.insert(args.begin(), NETVIGIL_BINARY);
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& a : args) {
      argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    envp.reserve(environment.size() + 1);
    for (std::string& e : environment) {
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
  ~XProgram() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (errors_ >= 0) {
      close(errors_);
    }
  }
  XProgram(const XProgram&) = delete;
  XProgram& operator=(const XProgram&) = delete;

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
  // Standard error so far; all of it once the child has ended. Never waits for a child that
  // is still running.
  std::string errors() {
    fcntl(errors_, F_SETFL, fcntl(errors_, F_GETFL) | O_NONBLOCK);
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
inline Window mappedWindowOf(Display* display, pid_t pid, std::chrono::seconds limit) {
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
inline bool takeShot(Display* display, Window window, const std::string& path, Shot& shot) {
  XWindowAttributes a{};
  int x = 0;
  int y = 0;
  Window child = 0;
  // Where the window is on the screen, inside a window manager's frame too.
  if (XGetWindowAttributes(display, window, &a) == 0 ||
      XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child) ==
          0 ||
      !s::testing::screenshot(display, x, y, a.width, a.height, path)) {
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
inline void keepShot(const std::string& path, const std::string& name) {
  if (std::getenv("NETVIGIL_KEEP_SCREENSHOT") != nullptr) {
    std::filesystem::copy_file(path, "/tmp/" + name,
                               std::filesystem::copy_options::overwrite_existing);
  }
}

}  // namespace s::app

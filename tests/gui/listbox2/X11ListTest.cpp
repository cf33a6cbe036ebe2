#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "gui/layout/Window.h"
#include "gui/listbox2/ListBoxEx.h"
#include "gui/listbox2/ListHeader.h"
#include "platform/x11/X11Display.h"
#include "tests/gui/listbox2/Fixture.h"
#include "tests/platform/x11/WindowManager.h"
#include "tests/platform/x11/XvfbServer.h"

// Xlib's macros clash with gtest's names, so Xlib comes last.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace listbox2_test {
namespace {

using namespace std::chrono_literals;
using s::gui::win::ListBoxEx;
using s::gui::win::Window;

double cpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3 + usage.ru_stime.tv_sec * 1e3 +
         usage.ru_stime.tv_usec / 1e3;
}

// A list of 10,000 rows in a window on a real X server under openbox, driven by XTest as a
// user's mouse drives it.
TEST(X11List, TheMouseAndTheWheelScrollTheRowsAndWorkTheHeaderAndAnIdleListUsesNoCpu) {
  s::testing::XvfbServer server;
  ASSERT_FALSE(server.name().empty()) << "Xvfb did not start";
  s::testing::WindowManager manager(server.name());
  ASSERT_TRUE(manager.ready());
  const std::string name = server.name();
  Window::setDisplayFactory([name]() -> std::unique_ptr<s::platform::ui::IDisplay> {
    return s::platform::x11::X11Display::open(name.c_str());
  });
  auto window = Window::make();
  ASSERT_TRUE(window->isCreated());
  ListBoxEx* box = ListBoxEx::newListBoxEx(100, 100);
  ListBox2* list = box->getList();
  addTestColumns(*list);
  list->beginUpdate();
  for (uint32_t i = 0; i < 10000; ++i) {
    list->appendRecord(makeRow(u"row", i, i, i));
  }
  list->endUpdate();
  window->add(box);
  window->setBounds(100, 100, 400, 300);
  window->show(true);

  Display* user = XOpenDisplay(name.c_str());
  ASSERT_NE(user, nullptr);
  auto settle = [&] {
    XSync(user, False);
    for (int i = 0; i < 5; ++i) {
      std::this_thread::sleep_for(10ms);
      window->runSync([] {});
    }
  };
  auto waitFor = [&](auto done) {
    for (int i = 0; i < 300 && !done(); ++i) {
      settle();
    }
    return done();
  };
  // Where the list is in the window, once the window is mapped. The pointer is placed relative
  // to the window, which the window manager may still be moving.
  int left = 0;
  int top = 0;
  const auto id = static_cast<::Window>(window->platformWindow());
  ASSERT_TRUE(waitFor([&] {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(user, id, &attributes) == 0 || attributes.map_state != IsViewable) {
      return false;
    }
    bool shown = false;
    window->runSync([&] {
      shown = list->isVisible() && list->getHeight() > 100;
      left = list->getScreenX() - window->getX();
      top = list->getScreenY() - window->getY();
    });
    return shown;
  }));
  auto at = [&](int x, int y) {
    XWarpPointer(user, None, id, 0, 0, 0, 0, left + x, top + y);
    settle();
  };
  auto button = [&](unsigned which, bool down) {
    XTestFakeButtonEvent(user, which, down ? True : False, 0);
    settle();
  };
  int32_t rowHeight = 0;
  int32_t headerHeight = 0;
  window->runSync([&] {
    rowHeight = list->rowHeight();
    headerHeight = list->viewport().headerHeight;
  });

  // Two notches down, one up: three rows a notch.
  at(60, 100);
  for (int i = 0; i < 2; ++i) {
    button(5, true);
    button(5, false);
  }
  EXPECT_TRUE(waitFor([&] { return list->topRow() == 6; })) << list->topRow();
  button(4, true);
  button(4, false);
  EXPECT_TRUE(waitFor([&] { return list->topRow() == 3; })) << list->topRow();

  // A click selects the row under the pointer.
  at(60, headerHeight + rowHeight * 2 + rowHeight / 2);
  button(1, true);
  button(1, false);
  EXPECT_TRUE(waitFor([&] { return list->selectedCount() == 1; }));
  Record* selected = nullptr;
  uint32_t stamp = 0;
  window->runSync([&] { list->getSelected(0, selected, stamp); });
  ASSERT_NE(selected, nullptr);
  EXPECT_EQ(tagOf(selected), 5U);

  // The first column's divider dragged 40 pixels right: 90 becomes 130.
  at(90, headerHeight / 2);
  button(1, true);
  at(110, headerHeight / 2);
  at(130, headerHeight / 2);
  button(1, false);
  EXPECT_TRUE(waitFor([&] { return list->getHeader()->columnWidth(0) == 130; }))
      << list->getHeader()->columnWidth(0);
  // The Pid title dragged past Bytes: Name, Bytes, Pid, Tag.
  at(160, headerHeight / 2);
  button(1, true);
  at(200, headerHeight / 2);
  at(280, headerHeight / 2);
  button(1, false);
  auto order = [&] {
    std::vector<int32_t> out;
    window->runSync([&] {
      const auto& o = list->getColumnOrder();
      out.assign(o.begin(), o.end());
    });
    return out;
  };
  EXPECT_TRUE(waitFor([&] { return order() == std::vector<int32_t>{0, 2, 1, 3}; }));

  // The vertical bar's thumb dragged to the bottom shows the last rows.
  int barX = 0;
  int thumbY = 0;
  window->runSync([&] {
    const auto* bar = box->getVerticalScrollBar();
    const auto g = bar->geometry();
    barX = bar->getScreenX() - list->getScreenX() + bar->getWidth() / 2;
    thumbY =
        bar->getScreenY() - list->getScreenY() + g.thickness + g.thumbOffset + g.thumbLength / 2;
  });
  at(barX, thumbY);
  button(1, true);
  at(barX, thumbY + 100);
  at(barX, thumbY + 1000);
  button(1, false);
  EXPECT_TRUE(waitFor([&] {
    bool atEnd = false;
    window->runSync([&] { atEnd = list->topRow() == list->viewport().maxTopRow(); });
    return atEnd;
  }));

  // Nothing changes: a shown list of 10,000 rows costs nothing while it waits.
  settle();
  const double before = cpuMs();
  const auto start = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(1s);
  const double used = cpuMs() - before;
  const double wall =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::printf("idle list of 10,000 rows: %.3f ms CPU over %.0f ms\n", used, wall);
  RecordProperty("idle_cpu_ms", std::to_string(used));
  EXPECT_LT(used, wall / 20);
  XCloseDisplay(user);
  window.reset();
  Window::setDisplayFactory(nullptr);
}

}  // namespace
}  // namespace listbox2_test

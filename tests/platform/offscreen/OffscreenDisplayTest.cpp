#include "platform/offscreen/OffscreenDisplay.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/ui/Surfaces.h"

namespace {

using s::platform::offscreen::OffscreenDisplay;
using s::platform::ui::Event;
using s::platform::ui::EventKind;
using s::platform::ui::IEventSink;
using s::platform::ui::Rect;
using s::platform::ui::WindowId;
using s::platform::ui::WindowKind;
using s::platform::ui::WindowOptions;

struct Recorder : IEventSink {
  std::vector<Event> events;
  void onPlatformEvent(const Event& event) override { events.push_back(event); }
};

void fill(cairo_surface_t* surface, double r, double g, double b, Rect area) {
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, r, g, b);
  cairo_rectangle(cr, area.x, area.y, area.width, area.height);
  cairo_fill(cr);
  cairo_destroy(cr);
}

// Dispatches until `done` or ten seconds have passed; a round may deliver a single event when
// the producer is slower than the loop, so the bound is time, not rounds.
template <class Done>
void dispatchUntil(OffscreenDisplay& display, IEventSink& sink, Done done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done() && std::chrono::steady_clock::now() < deadline) {
    display.dispatch(sink, 20);
  }
}

TEST(OffscreenDisplay, WindowHasBackBufferOfItsSizeAndReportsRequests) {
  OffscreenDisplay display;
  ASSERT_TRUE(display.isOpen());
  const WindowId w = display.createWindow({.bounds = {10, 20, 240, 120}, .title = "Réseau"});
  ASSERT_NE(w, 0u);
  EXPECT_EQ(cairo_image_surface_get_width(display.backBuffer(w)), 240);
  EXPECT_EQ(cairo_image_surface_get_height(display.backBuffer(w)), 120);
  EXPECT_EQ(cairo_image_surface_get_format(display.backBuffer(w)), CAIRO_FORMAT_RGB24);
  EXPECT_EQ(display.state(w)->title, "Réseau");

  fill(display.backBuffer(w), 1, 0, 0, {0, 0, 240, 120});
  ASSERT_TRUE(display.resize(w, 300, 100));
  EXPECT_EQ(cairo_image_surface_get_width(display.backBuffer(w)), 300);
  // The old pixels survive in the corner; the new area is white.
  EXPECT_EQ(s::platform::ui::surfaces::pixelAt(display.backBuffer(w), 239, 99), 0xFF0000u);
  EXPECT_EQ(s::platform::ui::surfaces::pixelAt(display.backBuffer(w), 250, 50), 0xFFFFFFu);
  ASSERT_TRUE(display.move(w, 5, 6));
  ASSERT_TRUE(display.show(w, true));
  ASSERT_TRUE(display.hide(w));
  EXPECT_EQ(display.bounds(w), (Rect{5, 6, 300, 100}));

  Recorder sink;
  display.dispatch(sink, 0);
  std::vector<EventKind> kinds;
  for (const Event& e : sink.events) {
    kinds.push_back(e.kind);
  }
  EXPECT_EQ(kinds,
            (std::vector<EventKind>{EventKind::kConfigure, EventKind::kConfigure, EventKind::kMap,
                                    EventKind::kFocusIn, EventKind::kUnmap}));
  EXPECT_EQ(sink.events[1].rootX, 5);
  EXPECT_EQ(sink.events[0].width, 300);

  // Unknown windows and impossible sizes are refused.
  EXPECT_EQ(display.createWindow({.bounds = {0, 0, 0, 10}}), 0u);
  EXPECT_EQ(display.createWindow({.kind = WindowKind::kDialog, .owner = 999}), 0u);
  EXPECT_FALSE(display.resize(w, 0, 5));
  EXPECT_FALSE(display.show(999, false));
  EXPECT_EQ(display.backBuffer(999), nullptr);
}

TEST(OffscreenDisplay, OnlyPresentedDamageReachesTheScreen) {
  OffscreenDisplay display;
  const WindowId w = display.createWindow({.bounds = {0, 0, 100, 50}});
  fill(display.backBuffer(w), 0, 0, 1, {0, 0, 100, 50});
  EXPECT_EQ(display.pixel(w, 10, 10), 0xFFFFFFu);  // painted, not yet presented

  ASSERT_TRUE(display.present(w, {0, 0, 20, 20}));
  EXPECT_EQ(display.pixel(w, 10, 10), 0x0000FFu);
  EXPECT_EQ(display.pixel(w, 19, 19), 0x0000FFu);
  EXPECT_EQ(display.pixel(w, 20, 20), 0xFFFFFFu);

  // Damage beyond the window is clipped; damage wholly outside presents nothing.
  ASSERT_TRUE(display.present(w, {90, 40, 50, 50}));
  ASSERT_TRUE(display.present(w, {200, 0, 10, 10}));
  EXPECT_EQ(display.state(w)->presented, (std::vector<Rect>{{0, 0, 20, 20}, {90, 40, 10, 10}}));
  EXPECT_EQ(display.pixel(w, 99, 49), 0x0000FFu);
  EXPECT_FALSE(display.present(999, {0, 0, 1, 1}));

  const std::string path = ::testing::TempDir() + "offscreen_present.png";
  ASSERT_TRUE(display.writePng(w, path));
  cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
  ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(png), 100);
  EXPECT_EQ(s::platform::ui::surfaces::pixelAt(png, 5, 5), 0x0000FFu);
  EXPECT_EQ(s::platform::ui::surfaces::pixelAt(png, 50, 25), 0xFFFFFFu);
  cairo_surface_destroy(png);
  unlink(path.c_str());
}

TEST(OffscreenDisplay, InjectedEventsArriveInOrderFromAnotherThread) {
  OffscreenDisplay display;
  const WindowId w = display.createWindow({});
  constexpr int kCount = 2000;
  std::thread injector([&] {
    for (int i = 0; i < kCount; ++i) {
      display.inject({.kind = EventKind::kMotion, .window = w, .x = i});
    }
  });
  Recorder sink;
  dispatchUntil(display, sink, [&] { return sink.events.size() >= kCount; });
  injector.join();
  ASSERT_EQ(sink.events.size(), static_cast<std::size_t>(kCount));
  for (int i = 0; i < kCount; ++i) {
    ASSERT_EQ(sink.events[i].x, i);
  }
}

TEST(OffscreenDisplay, TimersFireThroughTheLoopUntilKilled) {
  OffscreenDisplay display;
  Recorder sink;
  display.setTimer(7, 5);
  display.setTimer(8, 1);
  dispatchUntil(display, sink, [&] {
    int sevens = 0;
    for (const Event& e : sink.events) {
      sevens += e.id == 7 ? 1 : 0;
    }
    return sevens >= 3;
  });
  int eights = 0;
  for (const Event& e : sink.events) {
    EXPECT_EQ(e.kind, EventKind::kTimer);
    EXPECT_TRUE(e.id == 7 || e.id == 8);
    eights += e.id == 8 ? 1 : 0;
  }
  EXPECT_GE(eights, 3);  // the faster timer fired at least as often

  display.killTimer(7);
  display.killTimer(8);
  sink.events.clear();
  display.dispatch(sink, 30);
  EXPECT_TRUE(sink.events.empty());
}

TEST(OffscreenDisplay, PostedWorkWakesTheBlockedLoopAndRunsOnItsThread) {
  OffscreenDisplay display;
  Recorder sink;
  const std::thread::id loopThread = std::this_thread::get_id();
  std::atomic<bool> ranOnLoop{false};
  std::thread poster(
      [&] { display.post([&] { ranOnLoop = std::this_thread::get_id() == loopThread; }); });
  // Without a wake-up this would wait for ever.
  display.dispatch(sink, -1);
  poster.join();
  EXPECT_TRUE(ranOnLoop);

  std::thread stopper([&] { display.quit(); });
  display.run(sink);  // returns only because of quit()
  stopper.join();
  EXPECT_FALSE(display.dispatch(sink, 0));
}

TEST(OffscreenDisplay, NestedDispatchKeepsEventOrder) {
  OffscreenDisplay display;
  const WindowId w = display.createWindow({});
  struct Nesting : IEventSink {
    OffscreenDisplay* display;
    std::vector<int> seen;
    void onPlatformEvent(const Event& event) override {
      seen.push_back(event.x);
      // A modal loop started while handling the first event.
      if (event.x == 0) {
        display->dispatch(*this, 0);
      }
    }
  } sink;
  sink.display = &display;
  for (int i = 0; i < 4; ++i) {
    display.inject({.kind = EventKind::kMotion, .window = w, .x = i});
  }
  display.dispatch(sink, 0);
  display.dispatch(sink, 0);
  EXPECT_EQ(sink.seen, (std::vector<int>{0, 1, 2, 3}));
}

TEST(OffscreenDisplay, HotKeysAreExclusiveAcrossDisplays) {
  constexpr std::uint32_t kF11 = 0xFFC8;
  constexpr std::uint32_t kCtrlAlt =
      s::platform::ui::modifier::kControl | s::platform::ui::modifier::kAlt;
  OffscreenDisplay first;
  OffscreenDisplay second;
  ASSERT_TRUE(first.grabHotKey(1, kCtrlAlt, kF11));
  EXPECT_FALSE(second.grabHotKey(1, kCtrlAlt, kF11));
  EXPECT_EQ(second.hotKeyError(), 10);  // BadAccess, as from the X server
  EXPECT_TRUE(second.grabHotKey(2, s::platform::ui::modifier::kControl, kF11));
  EXPECT_FALSE(second.grabHotKey(3, kCtrlAlt, 0));

  Recorder sink;
  first.inject({.kind = EventKind::kKeyPress, .modifiers = kCtrlAlt, .keysym = kF11});
  first.inject({.kind = EventKind::kKeyPress, .modifiers = kCtrlAlt, .keysym = 'a'});
  first.dispatch(sink, 0);
  ASSERT_EQ(sink.events.size(), 1u);
  EXPECT_EQ(sink.events[0].kind, EventKind::kHotKey);
  EXPECT_EQ(sink.events[0].id, 1u);

  first.ungrabHotKey(1);
  EXPECT_TRUE(second.grabHotKey(1, kCtrlAlt, kF11));
}

}  // namespace

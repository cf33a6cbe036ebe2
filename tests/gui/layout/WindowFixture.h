#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

#include "framework/base/IEventListener.h"
#include "framework/base/Pooled.h"
#include "gui/layout/Component.h"
#include "gui/layout/Window.h"
#include "platform/offscreen/OffscreenDisplay.h"

namespace s::testing {

using gui::win::Window;
using platform::offscreen::OffscreenDisplay;
using platform::ui::Event;

// A component that takes the pointer input it gets and keeps it, where it was in the
// component.
class Probe final : public Pooled<Probe, gui::win::Component> {
 public:
  struct Hit {
    platform::ui::EventKind kind;
    std::int32_t x;
    std::int32_t y;
  };
  std::vector<Hit> hits;
  bool handleInput(const Event& event, std::int32_t x, std::int32_t y) override {
    if (event.kind == platform::ui::EventKind::kButtonPress ||
        event.kind == platform::ui::EventKind::kButtonRelease) {
      hits.push_back({event.kind, x, y});
    }
    return true;
  }
  void reset() override {
    gui::win::Component::reset();
    hits.clear();
  }
  std::u16string_view className() const override { return u"Probe"; }
};

// Records the events it hears, from whichever thread.
struct Recorder : gui::events::IEventListener {
  std::mutex lock;
  std::vector<std::int32_t> codes;
  std::vector<std::thread::id> threads;
  std::function<void(std::int32_t)> also;
  void onEvent(IObject* /*source*/, std::int32_t code) override {
    {
      std::lock_guard<std::mutex> hold(lock);
      codes.push_back(code);
      threads.push_back(std::this_thread::get_id());
    }
    if (also) {
      also(code);
    }
  }
  int count(std::int32_t code) {
    std::lock_guard<std::mutex> hold(lock);
    return static_cast<int>(std::count(codes.begin(), codes.end(), code));
  }
};

// A window of its own on an offscreen display for every test, and ways to wait for its thread.
class WindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Window::setDisplayFactory([] { return std::make_unique<OffscreenDisplay>(); });
  }
  void SetUp() override { window_ = Window::make(); }
  OffscreenDisplay& screen() { return *dynamic_cast<OffscreenDisplay*>(window_->display()); }
  // Lets the window's thread finish what is queued (painting included).
  void settle() {
    window_->runSync([] {});
    window_->runSync([] {});
  }
  std::uint32_t pixel(int x, int y) {
    std::uint32_t value = 0;
    window_->runSync([&] { value = screen().pixel(window_->platformWindow(), x, y); });
    return value;
  }
  void inject(const Event& event) {
    Event e = event;
    e.window = window_->platformWindow();
    screen().inject(e);
  }
  // Waits for the message box the window's thread has opened and answers its id.
  platform::ui::WindowId waitForDialog() {
    platform::ui::WindowId dialog = 0;
    for (int i = 0; i < 500 && dialog == 0; ++i) {
      // Runs inside the box's nested loop: the window still serves other threads.
      window_->runSync([&] {
        for (auto id : screen().windows()) {
          if (screen().state(id)->options.kind == platform::ui::WindowKind::kDialog) {
            dialog = id;
          }
        }
      });
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return dialog;
  }
  template <class Done>
  void waitFor(Done done) {
    for (int i = 0; i < 500 && !done(); ++i) {
      settle();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }

  PoolPtr<Window> window_;
};

}  // namespace s::testing

#pragma once

#include <chrono>
#include <functional>
#include <vector>

#include "platform/ui/EventLoop.h"
#include "platform/ui/ITrayIcon.h"

namespace s::testing {

// What a tray icon told its listener.
struct TrayListener : platform::ui::ITrayIcon::IListener {
  struct Click {
    platform::ui::TrayClick click;
    int x;
    int y;
  };
  std::vector<Click> clicks;
  int hostChanges = 0;
  void onTrayClick(platform::ui::TrayClick click, int rootX, int rootY) override {
    clicks.push_back({click, rootX, rootY});
  }
  void onTrayHostChanged() override { ++hostChanges; }
};

// Runs `loop` on this thread until `done` holds, for at most `seconds`.
inline bool runLoopUntil(platform::ui::EventLoop& loop, const std::function<bool()>& done,
                         int seconds = 15) {
  struct NoSink : platform::ui::IEventSink {
    void onPlatformEvent(const platform::ui::Event& /*event*/) override {}
  } sink;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done() && std::chrono::steady_clock::now() < end) {
    loop.dispatch(sink, 20);
  }
  return done();
}

}  // namespace s::testing

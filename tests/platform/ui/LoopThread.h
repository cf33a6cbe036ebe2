#pragma once

#include <atomic>
#include <thread>

#include "platform/ui/EventLoop.h"

namespace loop_test {

struct NoEvents : s::platform::ui::IEventSink {
  void onPlatformEvent(const s::platform::ui::Event& /*event*/) override {}
};

// A loop on a thread of its own, as a window's: it runs until quit, then closes, and the
// thread stays until this goes, so that the loop can still be asked after it has closed.
class LoopThread {
 public:
  LoopThread()
      : thread_([this] {
          s::platform::ui::EventLoop loop;
          NoEvents sink;
          loop_ = &loop;
          made_ = true;
          while (loop.dispatch(sink, -1)) {
          }
          loop.close();
          while (!gone_.load()) {
            std::this_thread::yield();
          }
        }) {
    while (!made_.load()) {
      std::this_thread::yield();
    }
  }
  ~LoopThread() {
    loop_->quit();
    gone_ = true;
    thread_.join();
  }
  LoopThread(const LoopThread&) = delete;
  LoopThread& operator=(const LoopThread&) = delete;

  s::platform::ui::EventLoop& loop() { return *loop_; }
  std::thread::id id() const { return thread_.get_id(); }

 private:
  std::atomic<bool> made_{false};
  std::atomic<bool> gone_{false};
  s::platform::ui::EventLoop* loop_ = nullptr;
  std::thread thread_;
};

}  // namespace loop_test

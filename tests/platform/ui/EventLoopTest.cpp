#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/ui/EventLoop.h"

namespace {

using s::platform::ui::Event;
using s::platform::ui::EventLoop;

struct NoEvents : s::platform::ui::IEventSink {
  void onPlatformEvent(const Event& /*event*/) override {}
};

bool noBackend() {
  return false;
}

// A closure that runs a nested loop (as a modal box does) until `done`, for at most two seconds.
void nestedLoop(EventLoop& loop, NoEvents& sink, const std::atomic<bool>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (!done.load() && std::chrono::steady_clock::now() < deadline) {
    loop.dispatch(sink, 10, -1, noBackend);
  }
}

TEST(EventLoopTest, NestedLoopRunsTheWorkQueuedBehindItsClosure) {
  EventLoop loop;
  ASSERT_TRUE(loop.isOpen());
  NoEvents sink;
  std::atomic<bool> answered{false};
  std::vector<int> order;
  bool answeredInside = false;
  // Both are queued before the round: the second sits behind the one that opens the nested loop.
  loop.post([&] {
    order.push_back(1);
    nestedLoop(loop, sink, answered);
    answeredInside = answered.load();
    order.push_back(3);
  });
  loop.post([&] {
    order.push_back(2);
    answered = true;
  });
  loop.dispatch(sink, 0, -1, noBackend);
  EXPECT_TRUE(answeredInside);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(EventLoopTest, AnotherThreadsWaitIsAnsweredWhileANestedLoopRuns) {
  EventLoop loop;
  NoEvents sink;
  std::atomic<bool> boxOpen{false};
  std::atomic<bool> closeBox{false};
  std::atomic<int> served{0};
  loop.post([&] {
    boxOpen = true;
    nestedLoop(loop, sink, closeBox);
  });
  // A second thread posts work and waits for it, as a synchronous call does, several times.
  std::thread caller([&] {
    while (!boxOpen.load()) {
      std::this_thread::yield();
    }
    for (int i = 0; i < 20; ++i) {
      std::atomic<bool> ran{false};
      loop.post([&] {
        ran = true;
        ++served;
      });
      while (!ran.load()) {
        std::this_thread::yield();
      }
    }
    closeBox = true;
  });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!closeBox.load() && std::chrono::steady_clock::now() < deadline) {
    loop.dispatch(sink, 10, -1, noBackend);
  }
  caller.join();
  EXPECT_EQ(served.load(), 20);
}

TEST(EventLoopTest, WorkPostedByWorkWaitsForTheNextRound) {
  EventLoop loop;
  NoEvents sink;
  int runs = 0;
  std::function<void()> again = [&] {
    ++runs;
    loop.post(again);
  };
  loop.post(again);
  loop.dispatch(sink, 0, -1, noBackend);
  EXPECT_EQ(runs, 1);
  loop.dispatch(sink, 0, -1, noBackend);
  EXPECT_EQ(runs, 2);
}

}  // namespace

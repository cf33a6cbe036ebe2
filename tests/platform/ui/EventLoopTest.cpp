#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <unistd.h>

#include "platform/ui/EventLoop.h"
#include "tests/platform/ui/LoopThread.h"

namespace {

using s::platform::ui::Event;
using s::platform::ui::EventKind;
using s::platform::ui::EventLoop;

using loop_test::LoopThread;
using loop_test::NoEvents;

bool noBackend() {
  return false;
}

// A closure that runs a nested loop (as a modal box does) until `done`, for at most two seconds.
void nestedLoop(EventLoop& loop, NoEvents& sink, const std::atomic<bool>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (!done.load() && std::chrono::steady_clock::now() < deadline) {
    loop.dispatch(sink, 10, noBackend);
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
  loop.dispatch(sink, 0, noBackend);
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
    loop.dispatch(sink, 10, noBackend);
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
  loop.dispatch(sink, 0, noBackend);
  EXPECT_EQ(runs, 1);
  loop.dispatch(sink, 0, noBackend);
  EXPECT_EQ(runs, 2);
}

TEST(EventLoopTest, SynchronousCallsRunOnTheLoopThreadInOrderWithPostedWork) {
  LoopThread thread;
  EventLoop& loop = thread.loop();
  std::vector<int> order;
  std::thread::id ranOn;
  loop.post([&] { order.push_back(1); });
  ASSERT_TRUE(loop.runSync([&] {
    order.push_back(2);
    ranOn = std::this_thread::get_id();
    // Called on the loop's own thread it runs at once.
    EXPECT_TRUE(loop.runSync([&] { order.push_back(3); }));
  }));
  EXPECT_EQ(ranOn, thread.id());
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));

  // A closing loop still runs what is queued; after that a call is refused, not run.
  std::atomic<bool> queuedRan{false};
  std::thread late([&] { loop.runSync([&] { queuedRan = true; }); });
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  loop.quit();
  late.join();
  EXPECT_TRUE(queuedRan.load());
  while (loop.runSync([] {})) {
    std::this_thread::yield();  // until the thread has closed the loop
  }
  bool ranAfterClose = false;
  EXPECT_FALSE(loop.runSync([&] { ranAfterClose = true; }));
  loop.post([&] { ranAfterClose = true; });
  EXPECT_FALSE(ranAfterClose);
}

// A timer whose handler opens a nested loop, as a box shown from a timer does: a second timer
// due at the same time fires inside it instead of waiting for the box to close. The nested loop
// gives up long before the second timer would be due again.
TEST(EventLoopTest, ATimerDueBehindOneThatOpensANestedLoopFiresInsideIt) {
  EventLoop loop;
  struct Timers : s::platform::ui::IEventSink {
    EventLoop* loop = nullptr;
    std::atomic<bool> secondFired{false};
    bool secondInside = false;
    std::vector<std::uint32_t> fired;
    void onPlatformEvent(const Event& event) override {
      ASSERT_EQ(event.kind, EventKind::kTimer);
      fired.push_back(event.id);
      loop->killTimer(event.id);
      if (event.id == 1) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
        while (!secondFired.load() && std::chrono::steady_clock::now() < deadline) {
          loop->dispatch(*this, 10);
        }
        secondInside = secondFired.load();
      } else {
        secondFired = true;
      }
    }
  } timers;
  timers.loop = &loop;
  loop.setTimer(1, 200);
  loop.setTimer(2, 200);
  std::this_thread::sleep_for(std::chrono::milliseconds(210));
  loop.dispatch(timers, 0);
  EXPECT_TRUE(timers.secondInside);
  EXPECT_EQ(timers.fired, (std::vector<std::uint32_t>{1, 2}));
}

TEST(EventLoopTest, AWatchedDescriptorIsServedUntilUnwatched) {
  EventLoop loop;
  NoEvents sink;
  int fds[2] = {-1, -1};
  ASSERT_EQ(pipe(fds), 0);
  int served = 0;
  ASSERT_TRUE(loop.watch(fds[0], [&] {
    char byte = 0;
    ASSERT_EQ(read(fds[0], &byte, 1), 1);
    ++served;
  }));
  ASSERT_EQ(write(fds[1], "a", 1), 1);
  // Nothing else to do: the loop waits for the descriptor and serves it.
  loop.dispatch(sink, 1000);
  EXPECT_EQ(served, 1);

  // Served even while carried work keeps every round busy.
  ASSERT_EQ(write(fds[1], "b", 1), 1);
  loop.post([] {});
  loop.dispatch(sink, 1000);
  EXPECT_EQ(served, 2);

  // A handler may unwatch its own descriptor; a hung-up pipe is then no longer looked at.
  loop.watch(fds[0], [&] {
    ++served;
    loop.unwatch(fds[0]);
  });
  close(fds[1]);
  loop.dispatch(sink, 1000);
  EXPECT_EQ(served, 3);
  loop.dispatch(sink, 20);
  EXPECT_EQ(served, 3);
  close(fds[0]);
}

}  // namespace

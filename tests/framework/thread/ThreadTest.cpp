#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "framework/thread/Thread.h"
#include "tests/framework/thread/Tasks.h"

namespace {

using s::test::Clock;
using s::test::GateTask;
using s::test::millisBetween;
using s::test::Milliseconds;
using s::test::Recorder;
using s::thread::IThread;
using s::thread::win::Thread;

// Runs a function on the worker and notes the worker's thread id.
class IdTask final : public s::ITask {
 public:
  void run() override { id = static_cast<uint32_t>(gettid()); }
  std::atomic<uint32_t> id = 0;
};

TEST(ThreadTest, ConstructionPublishesTheWorkersId) {
  Thread thread;
  const uint32_t id = thread.threadId();
  EXPECT_NE(id, 0u);
  EXPECT_NE(id, static_cast<uint32_t>(gettid()));
  EXPECT_TRUE(thread.isIdle());
  EXPECT_EQ(thread.className(), u"s_thread_win_Thread");

  IdTask task;
  thread.runOnce(&task);
  thread.waitIdle();
  EXPECT_EQ(task.id, id);
}

TEST(ThreadTest, RunsTheGivenCountThenParks) {
  struct Case {
    std::string name;
    std::function<void(IThread&, Recorder*)> start;
    size_t runs;
  };
  const Case cases[] = {
      {"runOnce", [](IThread& t, Recorder* r) { t.runOnce(r); }, 1},
      {"runTimes 3", [](IThread& t, Recorder* r) { t.runTimes(r, 3); }, 3},
      {"runTimes 0", [](IThread& t, Recorder* r) { t.runTimes(r, 0); }, 0},
      {"runTimes negative", [](IThread& t, Recorder* r) { t.runTimes(r, -5); }, 0},
      {"runTimesEvery 2", [](IThread& t, Recorder* r) { t.runTimesEvery(r, 2, 10); }, 2},
      {"runTimesAtRate 2", [](IThread& t, Recorder* r) { t.runTimesAtRate(r, 2, 10); }, 2},
      {"runForever without task", [](IThread& t, Recorder*) { t.runForever(nullptr); }, 0},
  };
  Thread thread;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Recorder recorder;
    c.start(thread, &recorder);
    thread.waitIdle();
    EXPECT_TRUE(thread.isIdle());
    // Parked: waking it finds nothing more to run.
    thread.resume();
    thread.waitIdle();
    EXPECT_EQ(recorder.runs(), c.runs);
  }
}

TEST(ThreadTest, PausesBetweenRunsButNotAfterTheLast) {
  constexpr long long kPauseMs = 500;
  Thread thread;
  Recorder recorder;
  thread.runTimesEvery(&recorder, 3, kPauseMs);
  thread.waitIdle();
  const auto idleAt = Clock::now();
  const auto starts = recorder.starts();
  const auto ends = recorder.ends();
  ASSERT_EQ(starts.size(), 3u);
  for (size_t i = 1; i < starts.size(); ++i) {
    EXPECT_GE(millisBetween(ends[i - 1], starts[i]), kPauseMs - 5) << "run " << i;
  }
  // A third pause would keep the worker busy for another full pause.
  EXPECT_LT(millisBetween(ends.back(), idleAt), kPauseMs);
}

TEST(ThreadTest, FixedRateCountsTheIntervalFromTheStartOfARun) {
  constexpr long long kPeriodMs = 200;
  struct Case {
    long long workMs;
  };
  for (const Case c : {Case{30}, Case{300}}) {
    SCOPED_TRACE("task of " + std::to_string(c.workMs) + " ms");
    Thread thread;
    Recorder recorder{Milliseconds(c.workMs)};
    thread.runForeverAtRate(&recorder, kPeriodMs);
    ASSERT_TRUE(recorder.waitForRuns(3));
    thread.stop();
    const auto starts = recorder.starts();
    const auto ends = recorder.ends();
    for (size_t i = 1; i < 3; ++i) {
      EXPECT_GE(millisBetween(starts[i - 1], starts[i]), std::max(kPeriodMs, c.workMs) - 5);
      if (c.workMs > kPeriodMs) {
        // Overdue: the next run follows at once, with no pause of its own.
        EXPECT_LT(millisBetween(ends[i - 1], starts[i]), kPeriodMs);
      }
    }
  }
}

TEST(ThreadTest, CancelLetsTheRunFinishThenParks) {
  Thread thread;
  GateTask gate;
  thread.runForever(&gate);
  ASSERT_TRUE(gate.waitEntered(1));
  thread.cancel();
  EXPECT_FALSE(thread.isIdle());
  gate.open();
  thread.waitIdle();
  EXPECT_TRUE(thread.isIdle());
  EXPECT_EQ(gate.entered(), 1);
  EXPECT_EQ(gate.finished(), 1);
}

TEST(ThreadTest, CancelEndsAPause) {
  Thread thread;
  Recorder recorder;
  thread.runForeverEvery(&recorder, 60000);
  ASSERT_TRUE(recorder.waitForRuns(1));
  const uint32_t id = thread.threadId();
  thread.cancel();
  // Were the pause waited out, the worker would be abandoned and replaced.
  thread.waitIdle(5000);
  EXPECT_EQ(thread.threadId(), id);
  EXPECT_TRUE(thread.isIdle());
  EXPECT_EQ(recorder.runs(), 1u);
}

TEST(ThreadTest, ExitOnAParkedWorkerRunsNothingMore) {
  Thread thread;
  Recorder recorder;
  thread.runOnce(&recorder);
  thread.waitIdle();
  thread.exit();
  EXPECT_EQ(recorder.runs(), 1u);
  // An ended worker takes no more work, and the waits do not hang on it.
  thread.runOnce(&recorder);
  thread.waitIdle();
  thread.waitEnd();
  EXPECT_EQ(recorder.runs(), 1u);
  EXPECT_FALSE(thread.setPriority(0));
}

TEST(ThreadTest, ExitDuringASeriesEndsAfterTheCurrentRun) {
  Thread thread;
  GateTask gate;
  thread.runTimesEvery(&gate, 3, 60000);
  ASSERT_TRUE(gate.waitEntered(1));
  thread.requestExit();
  gate.open();
  thread.waitEnd();
  EXPECT_EQ(gate.entered(), 1);
}

TEST(ThreadTest, DelayOnAParkedWorkerSleepsThenParksAgain) {
  constexpr long long kDelayMs = 500;
  Thread thread;
  thread.setDelay(kDelayMs);
  const auto resumedAt = Clock::now();
  ASSERT_EQ(thread.resume(), 1);
  EXPECT_EQ(thread.resume(), 0) << "woken once already";
  std::this_thread::sleep_for(Milliseconds(100));
  // Sleeping, not parked: resume() neither wakes it nor cuts the delay short.
  EXPECT_EQ(thread.resume(), 0);
  EXPECT_TRUE(thread.isIdle());
  int woken = 0;
  const auto deadline = Clock::now() + s::test::kPatience;
  while (woken == 0 && Clock::now() < deadline) {
    std::this_thread::sleep_for(Milliseconds(20));
    woken = thread.resume();
  }
  EXPECT_EQ(woken, 1);
  EXPECT_GE(millisBetween(resumedAt, Clock::now()), kDelayMs - 5);
  EXPECT_TRUE(thread.isIdle());
}

TEST(ThreadTest, ResumeAfterTwoSuspendsLeavesItRunning) {
  Thread thread;
  GateTask gate;
  thread.runForeverEvery(&gate, 10);
  ASSERT_TRUE(gate.waitEntered(1));
  thread.suspend();
  thread.suspend();
  gate.open();
  ASSERT_TRUE(gate.waitFinished(1));
  std::this_thread::sleep_for(Milliseconds(200));
  EXPECT_EQ(gate.entered(), 1);
  EXPECT_FALSE(thread.isIdle());
  EXPECT_EQ(thread.resume(), 1);
  EXPECT_TRUE(gate.waitEntered(3));
  thread.stop();
}

TEST(ThreadTest, WaitIdleAbandonsAStuckWorker) {
  Thread thread;
  ASSERT_TRUE(thread.setPriority(-1));
  GateTask stuck;
  thread.runTimes(&stuck, 5);
  ASSERT_TRUE(stuck.waitEntered(1));
  const uint32_t oldId = thread.threadId();

  thread.waitIdle(100);
  const uint32_t newId = thread.threadId();
  EXPECT_NE(newId, oldId);
  EXPECT_TRUE(thread.isIdle());
  EXPECT_EQ(thread.priority(), -1);
  EXPECT_EQ(getpriority(PRIO_PROCESS, newId), 5);

  // Usable at once while the old task still runs.
  IdTask task;
  thread.runOnce(&task);
  thread.waitIdle();
  EXPECT_EQ(task.id, newId);
  EXPECT_EQ(stuck.finished(), 0);

  // The old worker ends after its task: its remaining runs are not done, here or on the new
  // worker.
  stuck.open();
  ASSERT_TRUE(stuck.waitFinished(1));
  std::this_thread::sleep_for(Milliseconds(200));
  EXPECT_EQ(stuck.entered(), 1);
  EXPECT_TRUE(thread.isIdle());
  thread.runOnce(&task);
  thread.waitIdle();
  EXPECT_EQ(task.id, newId);
}

TEST(ThreadTest, RunsItsRoutineWhenGivenItself) {
  Thread thread;
  std::atomic<IThread*> seen = nullptr;
  std::atomic<uint32_t> ranOn = 0;
  thread.setRoutine([&](IThread& t) {
    seen = &t;
    ranOn = static_cast<uint32_t>(gettid());
  });
  thread.runOnce(&thread);
  thread.waitIdle();
  EXPECT_EQ(seen, &thread);
  EXPECT_EQ(ranOn, thread.threadId());
}

TEST(ThreadTest, WaitsFromTheWorkerItselfReturn) {
  Thread thread;
  std::atomic<int> runs = 0;
  thread.setRoutine([&](IThread& t) {
    ++runs;
    t.stop();
  });
  thread.runForever(&thread);
  thread.waitIdle();
  EXPECT_EQ(runs, 1);
}

TEST(ThreadTest, RecycledThreadKeepsWorking) {
  Thread* thread = Thread::take();
  std::atomic<int> routineRuns = 0;
  thread->setRoutine([&](IThread&) { ++routineRuns; });
  ASSERT_TRUE(thread->setPriority(-1));
  Recorder busy;
  thread->runForeverEvery(&busy, 5);
  ASSERT_TRUE(busy.waitForRuns(1));
  thread->release();

  // Last in, first out: the same object comes back, stopped and reset.
  Thread* again = Thread::take();
  ASSERT_EQ(again, thread);
  const size_t busyRuns = busy.runs();
  EXPECT_TRUE(again->isIdle());
  EXPECT_EQ(again->priority(), 0);
  Recorder recorder;
  again->runTimes(&recorder, 2);
  again->waitIdle();
  EXPECT_EQ(recorder.runs(), 2u);
  again->runOnce(again);
  again->waitIdle();
  EXPECT_EQ(routineRuns, 0);
  EXPECT_EQ(busy.runs(), busyRuns);

  // A thread that was ended comes back from the pool with a working worker.
  again->exit();
  again->release();
  Thread* third = Thread::take();
  ASSERT_EQ(third, thread);
  EXPECT_NE(third->threadId(), 0u);
  third->runOnce(&recorder);
  third->waitIdle();
  EXPECT_EQ(recorder.runs(), 3u);
  third->release();
}

}  // namespace

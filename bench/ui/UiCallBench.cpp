// The round trip of a synchronous call onto a user-interface thread, as the refresh thread
// makes one per list operation: the loop's own runSync, against the form it replaced (a
// posted std::function and a condition variable to wait on), with the heap allocations of
// each call counted by a replaced global operator new.
#include <benchmark/benchmark.h>

#include <condition_variable>
#include <functional>
#include <mutex>

#include "bench/support/CountingAllocator.h"
#include "platform/ui/EventLoop.h"
#include "tests/platform/ui/LoopThread.h"

namespace {

using s::platform::ui::EventLoop;

using loop_test::LoopThread;

// What a list operation carries: a few references in, a result out.
struct Operation {
  std::uint64_t* counter;
  std::uint32_t row;
  std::uint32_t column;
  bool result;
};

void finish(benchmark::State& state, std::uint64_t before, std::uint64_t calls) {
  state.counters["allocs_per_call"] = static_cast<double>(bench::allocationCount() - before) /
                                      static_cast<double>(calls == 0 ? 1 : calls);
}

void BM_RunSync(benchmark::State& state) {
  LoopThread thread;
  std::uint64_t counter = 0;
  Operation op{&counter, 1, 2, false};
  thread.loop().runSync([&] { ++counter; });
  const std::uint64_t before = bench::allocationCount();
  std::uint64_t calls = 0;
  for (auto _ : state) {
    thread.loop().runSync([&] {
      *op.counter += op.row + op.column;
      op.result = true;
    });
    ++calls;
  }
  finish(state, before, calls);
  benchmark::DoNotOptimize(counter);
}

// The former form: the work posted as a closure that captures the caller's references and
// signals a condition variable the caller waits on.
void BM_PostedClosureAndWait(benchmark::State& state) {
  LoopThread thread;
  std::mutex lock;
  std::condition_variable doneSignal;
  std::uint64_t counter = 0;
  Operation op{&counter, 1, 2, false};
  const std::uint64_t before = bench::allocationCount();
  std::uint64_t calls = 0;
  for (auto _ : state) {
    bool done = false;
    const std::function<void()> work = [&] {
      *op.counter += op.row + op.column;
      op.result = true;
    };
    std::unique_lock<std::mutex> hold(lock);
    thread.loop().post([&work, &done, &lock, &doneSignal] {
      work();
      std::lock_guard<std::mutex> inner(lock);
      done = true;
      doneSignal.notify_all();
    });
    doneSignal.wait(hold, [&done] { return done; });
    ++calls;
  }
  finish(state, before, calls);
  benchmark::DoNotOptimize(counter);
}

BENCHMARK(BM_RunSync)->UseRealTime();
BENCHMARK(BM_PostedClosureAndWait)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

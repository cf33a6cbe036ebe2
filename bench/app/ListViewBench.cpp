// Times the list control at 10,000 rows in an 840 x 600 window on the offscreen display (the
// same cairo back buffer the X server's window gets, without the blit): a full repaint of the
// rows shown, a one-page scroll, a sort by a column, and a busy refresh cycle that changes the
// byte counts of every row, on the window's thread and on the refresh thread, against the same
// cycle sent one change at a time. The window's work is given in wall time and in its thread's
// CPU time, which a busy machine does not stretch.
//
// Goals: repaint and scroll <= 4 ms, the busy cycle <= 5 ms on the window's thread and
// <= 25 ms on the refresh thread.
//
// Usage: bench_list_view [rows]

#include <pthread.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/ConnectionColumns.h"
#include "app/DemoList.h"
#include "bench/support/CountingAllocator.h"
#include "bench/support/Measure.h"
#include "gui/layout/Window.h"
#include "gui/listbox2/ListHeader.h"
#include "platform/offscreen/OffscreenDisplay.h"

namespace {

using bench::median;
using bench::msSince;
using s::gui::win::ListBox2;
using s::gui::win::Window;

constexpr int kRuns = 40;

double cpuMs(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

class Bench {
 public:
  explicit Bench(uint32_t rows) : demo_(rows, true) {
    Window::setDisplayFactory(
        [] { return std::make_unique<s::platform::offscreen::OffscreenDisplay>(1280, 800); });
    window_ = Window::make();
    window_->setBounds(0, 0, 840, 600);
    window_->add(demo_.panel());
    list_ = demo_.panel()->getList();
    window_->show(false);
    settle();
    window_->runSync([&] { pthread_getcpuclockid(pthread_self(), &uiClock_); });
  }
  ~Bench() { window_.reset(); }

  void settle() {
    window_->runSync([] {});
    window_->runSync([] {});
  }

  // On the window's thread: what `change` costs with the paint it leads to, in wall time and
  // in the thread's CPU time (which other programs on a busy machine do not stretch).
  struct Cost {
    double wallMs = 0;
    double cpuMs = 0;
  };
  template <class Change>
  Cost onWindow(Change change) {
    Cost cost;
    window_->runSync([&] {
      const double cpuBefore = cpuMs(CLOCK_THREAD_CPUTIME_ID);
      const auto start = bench::Clock::now();
      change();
      // What the change marked, painted and shown now rather than at the end of the round.
      window_->paintNow(list_->clientBounds());
      cost.wallMs = msSince(start);
      cost.cpuMs = cpuMs(CLOCK_THREAD_CPUTIME_ID) - cpuBefore;
    });
    return cost;
  }
  static void print(const char* what, const std::vector<Cost>& costs, const char* goal) {
    std::vector<double> wall;
    std::vector<double> cpu;
    for (const Cost& c : costs) {
      wall.push_back(c.wallMs);
      cpu.push_back(c.cpuMs);
    }
    std::printf("%-32s %7.2f ms, CPU %.2f ms%s\n", what, median(wall), median(cpu), goal);
  }

  void run() {
    std::printf("%u rows in an 840 x 600 window, %u shown\n", list_->list().recordCount(),
                shownRows());
    std::vector<Cost> repaint;
    std::vector<Cost> scroll;
    std::vector<Cost> sort;
    std::vector<double> sortAlone;
    for (int i = 0; i < kRuns; ++i) {
      repaint.push_back(onWindow([] {}));
      const int32_t page = list_->viewport().page();
      scroll.push_back(onWindow([&] { list_->scrollBy(0, i % 2 == 0 ? page : -page); }));
      const uint32_t column = i % 2 == 0 ? s::app::current::kReceived : s::app::current::kLocalPort;
      sort.push_back(onWindow([&] {
        const auto start = bench::Clock::now();
        list_->sortByColumn(column);
        list_->sort();
        sortAlone.push_back(msSince(start));
      }));
    }
    print("full repaint of the rows shown", repaint, " (goal 4)");
    print("one-page scroll, painted", scroll, " (goal 4)");
    print("sort by a column, painted", sort, "");
    std::printf("  the sort alone                 %7.2f ms\n", median(sortAlone));

    std::vector<double> refreshSide;
    std::vector<double> windowSide;
    std::vector<double> oneByOne;
    std::vector<double> updateAllocations;
    std::vector<double> paintAllocations;
    for (int i = 0; i < kRuns; ++i) {
      settle();
      const double windowBefore = cpuMs(uiClock_);
      const uint64_t before = bench::allocationCount();
      const auto start = bench::Clock::now();
      demo_.changeReceived(static_cast<uint64_t>(i) + 1, true);
      refreshSide.push_back(msSince(start));
      const uint64_t carried = bench::allocationCount();
      // The paint the update marked runs at the end of the window's round.
      settle();
      windowSide.push_back(cpuMs(uiClock_) - windowBefore);
      updateAllocations.push_back(static_cast<double>(carried - before));
      paintAllocations.push_back(static_cast<double>(bench::allocationCount() - carried));
    }
    for (int i = 0; i < kRuns / 4; ++i) {
      const auto start = bench::Clock::now();
      demo_.changeReceived(static_cast<uint64_t>(i) + 100, false);
      oneByOne.push_back(msSince(start));
      settle();
    }
    std::printf("busy cycle, window's thread      %7.2f ms CPU (goal 5)\n", median(windowSide));
    std::printf("busy cycle, refresh thread       %7.2f ms (goal 25)\n", median(refreshSide));
    std::printf("  the same, a hand-over a change %7.2f ms (%.0fx)\n", median(oneByOne),
                median(oneByOne) / median(refreshSide));
    std::printf("  heap allocations: the update   %7.0f, its paint %.0f (pango's)\n",
                median(updateAllocations), median(paintAllocations));
  }

 private:
  uint32_t shownRows() {
    uint32_t n = 0;
    window_->runSync([&] {
      const auto v = list_->viewport();
      n = v.endRow() - v.topRow;
    });
    return n;
  }

  s::app::DemoList demo_;
  s::PoolPtr<Window> window_;
  ListBox2* list_ = nullptr;
  clockid_t uiClock_{};
};

}  // namespace

int main(int argc, char** argv) {
  const long rows = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 10000;
  Bench bench(static_cast<uint32_t>(rows > 0 ? rows : 10000));
  bench.run();
  return 0;
}

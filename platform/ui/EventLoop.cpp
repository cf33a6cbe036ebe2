#include "platform/ui/EventLoop.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <utility>

namespace s::platform::ui {

namespace {

std::int64_t nowNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

void drainCounter(int fd) {
  std::uint64_t value = 0;
  while (read(fd, &value, sizeof value) == static_cast<ssize_t>(sizeof value)) {
  }
}

}  // namespace

EventLoop::EventLoop()
    : wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      timerFd_(timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK)) {}

EventLoop::~EventLoop() {
  if (wakeFd_ >= 0) {
    close(wakeFd_);
  }
  if (timerFd_ >= 0) {
    close(timerFd_);
  }
}

void EventLoop::post(std::function<void()> work) {
  {
    std::lock_guard<std::mutex> hold(postedLock_);
    posted_.push_back(std::move(work));
  }
  const std::uint64_t one = 1;
  // A full counter still wakes the loop, so a failed write loses nothing.
  [[maybe_unused]] const ssize_t written = write(wakeFd_, &one, sizeof one);
}

void EventLoop::quit() {
  quit_.store(true, std::memory_order_release);
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = write(wakeFd_, &one, sizeof one);
}

void EventLoop::setTimer(std::uint32_t id, std::uint32_t intervalMs) {
  const std::uint32_t interval = std::max<std::uint32_t>(intervalMs, 1);
  const std::int64_t deadline = nowNs() + static_cast<std::int64_t>(interval) * 1'000'000;
  auto it =
      std::find_if(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; });
  if (it == timers_.end()) {
    timers_.push_back({id, interval, deadline});
  } else {
    it->intervalMs = interval;
    it->deadlineNs = deadline;
  }
  armTimerFd();
}

void EventLoop::killTimer(std::uint32_t id) {
  std::erase_if(timers_, [id](const Timer& t) { return t.id == id; });
  armTimerFd();
}

void EventLoop::armTimerFd() {
  itimerspec timer{};
  if (!timers_.empty()) {
    std::int64_t earliest = timers_.front().deadlineNs;
    for (const Timer& t : timers_) {
      earliest = std::min(earliest, t.deadlineNs);
    }
    // A zero it_value would disarm the timer, so a deadline already past fires in 1 ns.
    earliest = std::max<std::int64_t>(earliest, 1);
    timer.it_value.tv_sec = earliest / 1'000'000'000;
    timer.it_value.tv_nsec = earliest % 1'000'000'000;
  }
  timerfd_settime(timerFd_, TFD_TIMER_ABSTIME, &timer, nullptr);
}

// One closure at a time, each taken off the shared queue before it runs: a closure that opens a
// nested loop (a modal box, a menu's tracking) leaves the rest of the queue to that loop, so work
// queued behind it, another thread's synchronous call among it, is never held up. Only what was
// queued when the round began runs, so a closure that posts again cannot keep the loop here.
bool EventLoop::runPosted() {
  std::size_t waiting = 0;
  {
    std::lock_guard<std::mutex> hold(postedLock_);
    waiting = posted_.size();
  }
  std::size_t ran = 0;
  for (; ran < waiting; ++ran) {
    std::function<void()> work;
    {
      std::lock_guard<std::mutex> hold(postedLock_);
      if (posted_.empty()) {
        break;  // a nested loop ran the rest
      }
      work = std::move(posted_.front());
      posted_.pop_front();
    }
    work();
  }
  return ran > 0;
}

bool EventLoop::fireTimers(IEventSink& sink) {
  const std::int64_t now = nowNs();
  std::vector<std::uint32_t> due;
  for (Timer& t : timers_) {
    if (t.deadlineNs <= now) {
      due.push_back(t.id);
      const std::int64_t interval = static_cast<std::int64_t>(t.intervalMs) * 1'000'000;
      t.deadlineNs += interval;
      // A loop held up for longer than an interval fires once, not once per missed tick.
      if (t.deadlineNs <= now) {
        t.deadlineNs = now + interval;
      }
    }
  }
  if (due.empty()) {
    return false;
  }
  armTimerFd();
  for (std::uint32_t id : due) {
    // An earlier handler may have killed this timer.
    if (std::none_of(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; })) {
      continue;
    }
    Event event;
    event.kind = EventKind::kTimer;
    event.id = id;
    sink.onPlatformEvent(event);
  }
  return true;
}

bool EventLoop::round(IEventSink& sink, const std::function<bool()>& drain) {
  bool busy = runPosted();
  busy = fireTimers(sink) || busy;
  // Last, so that a backend can flush the requests the other handlers made.
  busy = drain() || busy;
  return busy;
}

bool EventLoop::dispatch(IEventSink& sink, int timeoutMs, int extraFd,
                         const std::function<bool()>& drain) {
  if (quitRequested()) {
    return false;
  }
  if (!round(sink, drain) && !quitRequested()) {
    pollfd fds[3] = {{wakeFd_, POLLIN, 0}, {timerFd_, POLLIN, 0}, {extraFd, POLLIN, 0}};
    const nfds_t count = extraFd >= 0 ? 3 : 2;
    int ready = 0;
    do {
      ready = poll(fds, count, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready > 0) {
      if ((fds[0].revents & POLLIN) != 0) {
        drainCounter(wakeFd_);
      }
      if ((fds[1].revents & POLLIN) != 0) {
        drainCounter(timerFd_);
      }
      round(sink, drain);
    }
  }
  return !quitRequested();
}

}  // namespace s::platform::ui

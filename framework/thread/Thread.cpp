#include "framework/thread/Thread.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <system_error>
#include <utility>

namespace s::thread::win {

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

constexpr int32_t kForever = -1;
constexpr int kNoPacing = 0;
constexpr int kPause = 1;
constexpr int kFixedRate = 2;

// One priority step is this many nice values.
constexpr int kNiceStep = 5;

int niceFor(int priority) {
  return -kNiceStep * priority;
}
int priorityFor(int nice) {
  const auto nearest = static_cast<int>(std::lround(-static_cast<double>(nice) / kNiceStep));
  return std::clamp(nearest, -1, 1);
}

uint32_t currentThreadId() {
  return static_cast<uint32_t>(gettid());
}

// Joins a worker, or lets it go when it is the caller (a task disposing of its own thread).
void finish(std::thread& worker) {
  if (!worker.joinable()) {
    return;
  }
  if (worker.get_id() == std::this_thread::get_id()) {
    worker.detach();
  } else {
    worker.join();
  }
}

}  // namespace

// Shared by one worker and its Thread; every field is guarded by `mutex`.
struct Thread::Control {
  std::mutex mutex;
  std::condition_variable wake;   // the worker waits on it: parked, pausing or delaying
  std::condition_variable state;  // callers wait on it: thread id, idle, ended
  uint32_t threadId = 0;
  uint32_t delayMs = 0;
  ITask* task = nullptr;
  int32_t remaining = 0;
  int mode = kNoPacing;
  uint32_t intervalMs = 0;
  bool idle = true;
  bool exitRequested = false;
  bool ended = false;
  bool suspended = false;
  bool parked = false;
  bool woken = false;
};

Thread::Thread() {
  std::scoped_lock guard(lock_);
  startWorker();
}

Thread::~Thread() {
  exit();
  std::scoped_lock guard(lock_);
  finish(worker_);
}

void Thread::work(const std::shared_ptr<Control>& control) {
  Control& c = *control;
  std::unique_lock lock(c.mutex);
  c.threadId = currentThreadId();
  c.state.notify_all();
  while (!c.exitRequested) {
    if (c.suspended) {
      park(c, lock);
      continue;
    }
    if (c.delayMs != 0) {
      const Milliseconds delay(std::exchange(c.delayMs, 0));
      // Only an exit cuts the delay short; resume() does not.
      c.wake.wait_for(lock, delay, [&c] { return c.exitRequested; });
      if (c.idle) {
        park(c, lock);
      }
      continue;
    }
    if (c.remaining == 0 || c.task == nullptr) {
      c.remaining = 0;
      c.idle = true;
      c.state.notify_all();
      park(c, lock);
      continue;
    }
    if (c.remaining != kForever) {
      --c.remaining;
    }
    const int32_t left = c.remaining;
    const int mode = c.mode;
    ITask* task = c.task;
    const Milliseconds interval(c.intervalMs);
    lock.unlock();
    const auto start = Clock::now();
    task->run();
    lock.lock();
    // No pause follows the last run of a counted series. A cancel or an exit ends the pause.
    if (mode != kNoPacing && left != 0) {
      const auto until = (mode == kPause ? Clock::now() : start) + interval;
      c.wake.wait_until(lock, until, [&c] { return c.exitRequested || c.remaining == 0; });
    }
  }
  c.ended = true;
  c.state.notify_all();
}

void Thread::park(Control& c, std::unique_lock<std::mutex>& lock) {
  c.parked = true;
  c.wake.wait(lock, [&c] { return c.woken || c.exitRequested; });
  c.parked = false;
  c.woken = false;
}

std::shared_ptr<Thread::Control> Thread::control() const {
  std::scoped_lock guard(lock_);
  return control_;
}

void Thread::startWorker() {
  auto control = std::make_shared<Control>();
  threadId_ = 0;
  try {
    worker_ = std::thread(&Thread::work, control);
  } catch (const std::system_error&) {
    // Nothing will run; the waits see an ended worker and return.
    control->ended = true;
    control_ = std::move(control);
    return;
  }
  {
    std::unique_lock lock(control->mutex);
    control->state.wait(lock, [&control] { return control->threadId != 0; });
    threadId_ = control->threadId;
  }
  control_ = std::move(control);
  setPriority(priority_);
}

void Thread::replaceWorker() {
  {
    std::scoped_lock controlGuard(control_->mutex);
    control_->exitRequested = true;
    control_->wake.notify_all();
  }
  finish(worker_);
  startWorker();
}

void Thread::abandonWorker() {
  {
    std::scoped_lock controlGuard(control_->mutex);
    if (control_->idle || control_->ended) {
      return;
    }
    // The old worker keeps its block; after its task returns it sees the exit and ends.
    control_->exitRequested = true;
    control_->wake.notify_all();
    control_->state.notify_all();
  }
  worker_.detach();
  startWorker();
}

uint32_t Thread::threadId() const {
  std::scoped_lock guard(lock_);
  return threadId_;
}

void Thread::schedule(ITask* task, int32_t runs, int mode, uint32_t intervalMs) {
  {
    std::scoped_lock guard(lock_);
    std::scoped_lock controlGuard(control_->mutex);
    Control& c = *control_;
    c.delayMs = 0;
    c.task = task;
    c.remaining = runs;
    c.mode = mode;
    c.intervalMs = mode == kNoPacing ? 0 : intervalMs;
    // The ended flag stays: a worker that has ended does not come back.
    c.idle = false;
  }
  resume();
}

void Thread::runOnce(ITask* task) {
  schedule(task, 1, kNoPacing, 0);
}
void Thread::runTimes(ITask* task, int32_t count) {
  schedule(task, std::max(count, 0), kNoPacing, 0);
}
void Thread::runTimesEvery(ITask* task, int32_t count, uint32_t pauseMs) {
  schedule(task, std::max(count, 0), kPause, pauseMs);
}
void Thread::runTimesAtRate(ITask* task, int32_t count, uint32_t periodMs) {
  schedule(task, std::max(count, 0), kFixedRate, periodMs);
}
void Thread::runForever(ITask* task) {
  schedule(task, kForever, kNoPacing, 0);
}
void Thread::runForeverEvery(ITask* task, uint32_t pauseMs) {
  schedule(task, kForever, kPause, pauseMs);
}
void Thread::runForeverAtRate(ITask* task, uint32_t periodMs) {
  schedule(task, kForever, kFixedRate, periodMs);
}

bool Thread::isIdle() const {
  const auto c = control();
  std::scoped_lock controlGuard(c->mutex);
  return c->idle;
}

void Thread::waitIdle() {
  const auto c = control();
  std::unique_lock lock(c->mutex);
  if (c->threadId == currentThreadId()) {
    return;
  }
  c->state.wait(lock, [&c] { return c->idle || c->ended; });
}

void Thread::waitIdle(uint32_t timeoutMs) {
  const auto c = control();
  {
    std::unique_lock lock(c->mutex);
    if (c->threadId == currentThreadId() ||
        c->state.wait_for(lock, Milliseconds(timeoutMs), [&c] { return c->idle || c->ended; })) {
      return;
    }
  }
  std::scoped_lock guard(lock_);
  if (control_ == c) {
    abandonWorker();
  }
}

void Thread::cancel() {
  {
    const auto c = control();
    std::scoped_lock controlGuard(c->mutex);
    c->remaining = 0;
    c->wake.notify_all();
  }
  resume();
}

void Thread::stop() {
  cancel();
  waitIdle();
}

void Thread::waitEnd() {
  resume();
  const auto c = control();
  std::unique_lock lock(c->mutex);
  if (c->threadId == currentThreadId()) {
    return;
  }
  c->state.wait(lock, [&c] { return c->ended; });
}

void Thread::requestExit() {
  {
    const auto c = control();
    std::scoped_lock controlGuard(c->mutex);
    c->exitRequested = true;
    c->wake.notify_all();
  }
  resume();
}

void Thread::exit() {
  requestExit();
  waitEnd();
}

void Thread::setDelay(uint32_t ms) {
  const auto c = control();
  std::scoped_lock controlGuard(c->mutex);
  c->delayMs = ms;
}

int Thread::resume() {
  const auto c = control();
  std::scoped_lock controlGuard(c->mutex);
  c->suspended = false;
  if (!c->parked || c->woken) {
    return 0;
  }
  c->woken = true;
  c->wake.notify_all();
  return 1;
}

void Thread::suspend() {
  const auto c = control();
  std::scoped_lock controlGuard(c->mutex);
  c->suspended = true;
}

int Thread::priority() const {
  std::scoped_lock guard(lock_);
  // Holding the block's lock keeps the worker, and so its thread id, alive.
  std::scoped_lock controlGuard(control_->mutex);
  if (threadId_ == 0 || control_->ended) {
    return priority_;
  }
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, threadId_);
  if (nice == -1 && errno != 0) {
    return priority_;
  }
  return priorityFor(nice);
}

bool Thread::setPriority(int priority) {
  if (priority < -1 || priority > 1) {
    return false;
  }
  std::scoped_lock guard(lock_);
  std::scoped_lock controlGuard(control_->mutex);
  if (threadId_ == 0 || control_->ended ||
      setpriority(PRIO_PROCESS, threadId_, niceFor(priority)) != 0) {
    return false;
  }
  priority_ = priority;
  return true;
}

void Thread::setRoutine(Routine routine) {
  std::scoped_lock guard(routineMutex_);
  routine_ = std::move(routine);
}

void Thread::run() {
  Routine routine;
  {
    std::scoped_lock guard(routineMutex_);
    routine = routine_;
  }
  if (routine) {
    routine(*this);
  }
}

void Thread::reset() {
  if (!isIdle()) {
    stop();
  }
  {
    std::scoped_lock guard(lock_);
    // An unprivileged worker cannot get back from a lowered priority, and an ended one
    // cannot work: either way the pool gets a fresh worker.
    if (!setPriority(0)) {
      priority_ = 0;
      replaceWorker();
    }
  }
  suspend();
  setRoutine(nullptr);
}

}  // namespace s::thread::win

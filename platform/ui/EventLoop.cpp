#include "platform/ui/EventLoop.h"

#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
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
    : owner_(std::this_thread::get_id()),
      wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      timerFd_(timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK)) {}

EventLoop::~EventLoop() {
  if (wakeFd_ >= 0) {
    ::close(wakeFd_);
  }
  if (timerFd_ >= 0) {
    ::close(timerFd_);
  }
}

void EventLoop::wake() {
  const std::uint64_t one = 1;
  // A full counter still wakes the loop, so a failed write loses nothing.
  [[maybe_unused]] const ssize_t written = write(wakeFd_, &one, sizeof one);
}

void EventLoop::enqueue(Node& node) {
  node.next = nullptr;
  if (tail_ != nullptr) {
    tail_->next = &node;
  } else {
    head_ = &node;
  }
  tail_ = &node;
  ++queued_;
}

EventLoop::Node* EventLoop::takeQueued() {
  std::lock_guard<std::mutex> hold(queueLock_);
  Node* node = head_;
  if (node != nullptr) {
    head_ = node->next;
    if (head_ == nullptr) {
      tail_ = nullptr;
    }
    --queued_;
  }
  return node;
}

bool EventLoop::runSync(Operation op, void* block) {
  if (isLoopThread()) {
    op(block);
    return true;
  }
  Node node;
  node.op = op;
  node.block = block;
  std::unique_lock<std::mutex> hold(queueLock_);
  if (closed_) {
    return false;
  }
  enqueue(node);
  wake();
  callDone_.wait(hold, [&node] { return node.done; });
  return true;
}

void EventLoop::post(std::function<void()> work) {
  std::lock_guard<std::mutex> hold(queueLock_);
  if (closed_) {
    return;
  }
  Node* node = freePosted_;
  if (node != nullptr) {
    freePosted_ = node->next;
  } else {
    postedNodes_.push_back(std::make_unique<Node>());
    node = postedNodes_.back().get();
  }
  node->posted = std::move(work);
  enqueue(*node);
  wake();
}

// A posted closure's node has no operation; it goes back to the free nodes once run.
void EventLoop::runNode(Node& node) {
  if (node.op == nullptr) {
    node.posted();
    // Its captures go now, not when the node is next used.
    node.posted = nullptr;
    std::lock_guard<std::mutex> hold(queueLock_);
    node.next = freePosted_;
    freePosted_ = &node;
    return;
  }
  node.op(node.block);
  std::lock_guard<std::mutex> hold(queueLock_);
  node.done = true;
  callDone_.notify_all();
}

// Only what was queued when the round began runs, so that work queuing more work cannot keep
// the loop here.
bool EventLoop::runQueued() {
  std::size_t waiting = 0;
  {
    std::lock_guard<std::mutex> hold(queueLock_);
    waiting = queued_;
  }
  std::size_t ran = 0;
  for (; ran < waiting; ++ran) {
    Node* node = takeQueued();
    if (node == nullptr) {
      break;  // a nested loop ran the rest
    }
    runNode(*node);
  }
  return ran > 0;
}

void EventLoop::close() {
  {
    std::lock_guard<std::mutex> hold(queueLock_);
    closed_ = true;
  }
  while (Node* node = takeQueued()) {
    runNode(*node);
  }
}

void EventLoop::quit() {
  quit_.store(true, std::memory_order_release);
  wake();
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

// One due timer at a time, each given its next deadline before it fires: a handler that opens
// a nested loop leaves the other due timers to that loop, and may kill or set timers.
bool EventLoop::fireTimers(IEventSink& sink) {
  const std::int64_t now = nowNs();
  bool fired = false;
  for (;;) {
    auto due = std::find_if(timers_.begin(), timers_.end(),
                            [now](const Timer& t) { return t.deadlineNs <= now; });
    if (due == timers_.end()) {
      return fired;
    }
    const std::int64_t interval = static_cast<std::int64_t>(due->intervalMs) * 1'000'000;
    due->deadlineNs += interval;
    // A loop held up for longer than an interval fires once, not once per missed tick.
    if (due->deadlineNs <= now) {
      due->deadlineNs = now + interval;
    }
    Event event;
    event.kind = EventKind::kTimer;
    event.id = due->id;
    armTimerFd();
    fired = true;
    sink.onPlatformEvent(event);
  }
}

bool EventLoop::watch(int fd, std::function<void()> ready, short events) {
  unwatch(fd);
  if (fd < 0 || watched_.size() >= kMaxWatched) {
    return false;
  }
  watched_.push_back({fd, std::move(ready), events});
  return true;
}

void EventLoop::setWatchedEvents(int fd, short events) {
  for (Watch& w : watched_) {
    if (w.fd == fd) {
      w.events = events;
    }
  }
}

void EventLoop::unwatch(int fd) {
  std::erase_if(watched_, [fd](const Watch& w) { return w.fd == fd; });
}

void EventLoop::serveWatched(const pollfd* fds, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    if ((fds[i].revents & (POLLIN | POLLOUT | POLLHUP | POLLERR)) == 0) {
      continue;
    }
    auto it = std::find_if(watched_.begin(), watched_.end(),
                           [&](const Watch& w) { return w.fd == fds[i].fd; });
    // Unwatched by an earlier handler, or read by the backend's drain.
    if (it == watched_.end() || !it->ready) {
      continue;
    }
    // A copy: the handler may unwatch its own descriptor.
    const std::function<void()> ready = it->ready;
    ready();
  }
}

bool EventLoop::round(IEventSink& sink, const std::function<bool()>& drain) {
  bool busy = runQueued();
  busy = fireTimers(sink) || busy;
  // Last, so that a backend can flush the requests the other handlers made.
  if (drain) {
    busy = drain() || busy;
  }
  return busy;
}

bool EventLoop::dispatch(IEventSink& sink, int timeoutMs, const std::function<bool()>& drain) {
  if (quitRequested()) {
    return false;
  }
  const bool busy = round(sink, drain);
  if (quitRequested()) {
    return false;
  }
  std::array<pollfd, 2 + kMaxWatched> fds{};
  fds[0] = {wakeFd_, POLLIN, 0};
  fds[1] = {timerFd_, POLLIN, 0};
  std::size_t count = 2;
  for (const Watch& w : watched_) {
    fds[count++] = {w.fd, w.events, 0};
  }
  // After a busy round only a look, so that the descriptors are served while work keeps coming.
  int ready = 0;
  do {
    ready = poll(fds.data(), count, busy ? 0 : timeoutMs);
  } while (ready < 0 && errno == EINTR);
  if (ready > 0) {
    if ((fds[0].revents & POLLIN) != 0) {
      drainCounter(wakeFd_);
    }
    if ((fds[1].revents & POLLIN) != 0) {
      drainCounter(timerFd_);
    }
    serveWatched(fds.data() + 2, count - 2);
    // What a busy round queued waits for the next call, so that work posting work cannot keep
    // the loop here.
    if (!busy) {
      round(sink, drain);
    }
  }
  return !quitRequested();
}

}  // namespace s::platform::ui

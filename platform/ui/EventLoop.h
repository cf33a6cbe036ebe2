#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/ui/IEventSink.h"

namespace s::platform::ui {

// The part of a display's loop that does not depend on the backend: closures posted from other
// threads (woken through an eventfd), repeating timers (one timerfd armed for the earliest
// deadline) and the quit request. The loop blocks in poll() on these and the backend's own
// descriptor, so an idle window costs no CPU.
class EventLoop {
 public:
  EventLoop();
  ~EventLoop();
  EventLoop(const EventLoop&) = delete;
  EventLoop& operator=(const EventLoop&) = delete;

  bool isOpen() const { return wakeFd_ >= 0 && timerFd_ >= 0; }

  void post(std::function<void()> work);  // any thread
  void quit();                            // any thread
  bool quitRequested() const { return quit_.load(std::memory_order_acquire); }

  void setTimer(std::uint32_t id, std::uint32_t intervalMs);
  void killTimer(std::uint32_t id);

  // One round: runs posted closures, due timers and then `drain` (the backend's ready events;
  // answers whether it handled any; it runs last, so it may flush what the others requested); when
  // none of them had anything, waits for extraFd (-1: none), a wake-up or the next timer, at most
  // timeoutMs (-1: without limit), and runs them again.
  bool dispatch(IEventSink& sink, int timeoutMs, int extraFd, const std::function<bool()>& drain);

 private:
  struct Timer {
    std::uint32_t id;
    std::uint32_t intervalMs;
    std::int64_t deadlineNs;
  };

  bool runPosted();
  bool fireTimers(IEventSink& sink);
  void armTimerFd();
  bool round(IEventSink& sink, const std::function<bool()>& drain);

  int wakeFd_ = -1;
  int timerFd_ = -1;
  std::atomic<bool> quit_{false};
  std::mutex postedLock_;
  std::deque<std::function<void()>> posted_;
  std::vector<Timer> timers_;
};

}  // namespace s::platform::ui

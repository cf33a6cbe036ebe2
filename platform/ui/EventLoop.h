#pragma once

#include <poll.h>

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/ui/IEventSink.h"
#include "platform/ui/IUiExecutor.h"

namespace s::platform::ui {

// The loop of one user-interface thread, the thread that makes it: work carried from other
// threads (woken through an eventfd), repeating timers (one timerfd armed for the earliest
// deadline), the descriptors it watches for its owner (a terminal, a signalfd, a display
// connection) and the quit request. It blocks in poll() on all of them, so an idle loop costs
// no CPU.
//
// Carried work runs in the order it came, one piece at a time, each taken off the queue
// before it runs: a piece that opens a nested loop (a modal box, a menu's tracking) leaves
// the rest of the queue to that loop. Timers fire the same way.
class EventLoop final : public IUiExecutor {
 public:
  // The most descriptors watch() takes.
  static constexpr std::size_t kMaxWatched = 6;

  EventLoop();
  ~EventLoop() override;
  EventLoop(const EventLoop&) = delete;
  EventLoop& operator=(const EventLoop&) = delete;

  bool isOpen() const { return wakeFd_ >= 0 && timerFd_ >= 0; }
  bool isLoopThread() const { return std::this_thread::get_id() == owner_; }

  using IUiExecutor::runSync;
  // Any thread. Waits in a node on the caller's stack, queued with the posted work in order.
  bool runSync(Operation op, void* block) override;
  // Any thread: queues `work` without waiting. Its queue node is kept for the next post, so a
  // closure that fits std::function's own room allocates nothing.
  void post(std::function<void()> work);
  // The loop's thread: runs what is queued, and from now on runSync answers false and posted
  // work is dropped. For the end of the thread, so that no caller waits for ever.
  void close();

  void quit();  // any thread
  bool quitRequested() const { return quit_.load(std::memory_order_acquire); }

  void setTimer(std::uint32_t id, std::uint32_t intervalMs);
  void killTimer(std::uint32_t id);

  // Waits on `fd` too (the loop's thread): `ready` runs whenever it is readable, hung up or in
  // error (or writable, when `events` asks for POLLOUT too). An empty `ready` only wakes the
  // loop, for a descriptor that `drain` reads. False when kMaxWatched are watched. Unwatch a
  // descriptor before closing it.
  bool watch(int fd, std::function<void()> ready, short events = POLLIN);
  // What a watched descriptor is waited for from now on (a connection with output queued
  // waits for POLLOUT until it is written).
  void setWatchedEvents(int fd, short events);
  void unwatch(int fd);

  // One round: runs carried work, due timers and then `drain` (the backend's ready events, when
  // given; answers whether it handled any; it runs last, so it may flush what the others
  // requested); then serves the watched descriptors that are ready. When the round had nothing
  // to do, it first waits for one, a wake-up or the next timer, up to timeoutMs (-1: without
  // limit), and then runs a round again. Answers false once quit() was called.
  bool dispatch(IEventSink& sink, int timeoutMs, const std::function<bool()>& drain = {});

 private:
  // A piece of carried work: a waiting caller's (on its stack) or a posted closure's (in
  // postedNodes_).
  struct Node {
    Operation op = nullptr;
    void* block = nullptr;
    std::function<void()> posted;
    Node* next = nullptr;
    bool done = false;
  };
  struct Timer {
    std::uint32_t id;
    std::uint32_t intervalMs;
    std::int64_t deadlineNs;
  };
  struct Watch {
    int fd;
    std::function<void()> ready;
    short events;
  };

  void wake();
  void enqueue(Node& node);
  Node* takeQueued();
  void runNode(Node& node);
  bool runQueued();
  bool fireTimers(IEventSink& sink);
  void armTimerFd();
  bool round(IEventSink& sink, const std::function<bool()>& drain);
  void serveWatched(const pollfd* fds, std::size_t count);

  std::thread::id owner_;
  int wakeFd_ = -1;
  int timerFd_ = -1;
  std::atomic<bool> quit_{false};

  std::mutex queueLock_;
  std::condition_variable callDone_;
  Node* head_ = nullptr;
  Node* tail_ = nullptr;
  std::size_t queued_ = 0;
  bool closed_ = false;
  Node* freePosted_ = nullptr;
  std::vector<std::unique_ptr<Node>> postedNodes_;

  std::vector<Timer> timers_;
  std::vector<Watch> watched_;
};

}  // namespace s::platform::ui

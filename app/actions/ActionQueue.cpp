#include "app/actions/ActionQueue.h"

#include <utility>

namespace s::app {

ActionQueue::~ActionQueue() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) {
    thread_.join();
  }
}

void ActionQueue::post(std::function<void()> work) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    work_.push_back(std::move(work));
    if (!thread_.joinable()) {
      thread_ = std::thread([this] { run(); });
    }
  }
  changed_.notify_all();
}

void ActionQueue::waitIdle() {
  std::unique_lock<std::mutex> hold(lock_);
  changed_.wait(hold, [this] { return work_.empty() && !busy_; });
}

void ActionQueue::run() {
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    changed_.wait(hold, [this] { return stopping_ || !work_.empty(); });
    if (work_.empty()) {
      return;
    }
    std::function<void()> work = std::move(work_.front());
    work_.pop_front();
    busy_ = true;
    hold.unlock();
    work();
    hold.lock();
    busy_ = false;
    changed_.notify_all();
  }
}

}  // namespace s::app

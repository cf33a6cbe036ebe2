#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace s::app {

// One thread that does the program actions' waiting (on the file manager, on a program given
// time to close) in the order they were posted, so that the window's thread never waits on
// another program. The thread starts with the first piece of work; going away finishes what
// was posted.
class ActionQueue {
 public:
  ActionQueue() = default;
  ~ActionQueue();
  ActionQueue(const ActionQueue&) = delete;
  ActionQueue& operator=(const ActionQueue&) = delete;

  void post(std::function<void()> work);
  // Returns once everything posted so far is done.
  void waitIdle();

 private:
  void run();

  std::mutex lock_;
  std::condition_variable changed_;
  std::deque<std::function<void()>> work_;
  bool busy_ = false;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace s::app

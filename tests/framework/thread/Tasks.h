#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>
#include <vector>

#include "framework/thread/ITask.h"

namespace s::test {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

// Every wait in the tests is bounded by this, so a fault fails instead of hanging.
inline constexpr auto kPatience = std::chrono::seconds(10);

inline long long millisBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration_cast<Milliseconds>(to - from).count();
}

// Takes `work` per run and notes when each run started and ended.
class Recorder final : public ITask {
 public:
  explicit Recorder(Milliseconds work = Milliseconds(0)) : work_(work) {}

  void run() override {
    const auto start = Clock::now();
    std::this_thread::sleep_for(work_);
    std::scoped_lock lock(mutex_);
    starts_.push_back(start);
    ends_.push_back(Clock::now());
    changed_.notify_all();
  }

  size_t runs() const {
    std::scoped_lock lock(mutex_);
    return starts_.size();
  }
  bool waitForRuns(size_t count) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kPatience, [&] { return starts_.size() >= count; });
  }
  std::vector<Clock::time_point> starts() const {
    std::scoped_lock lock(mutex_);
    return starts_;
  }
  std::vector<Clock::time_point> ends() const {
    std::scoped_lock lock(mutex_);
    return ends_;
  }

 private:
  Milliseconds work_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<Clock::time_point> starts_;
  std::vector<Clock::time_point> ends_;
};

// Each run waits until the gate is opened; once open, runs pass straight through.
class GateTask final : public ITask {
 public:
  void run() override {
    std::unique_lock lock(mutex_);
    ++entered_;
    changed_.notify_all();
    changed_.wait_for(lock, kPatience, [&] { return open_; });
    ++finished_;
    changed_.notify_all();
  }

  void open() {
    std::scoped_lock lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }
  int entered() const {
    std::scoped_lock lock(mutex_);
    return entered_;
  }
  int finished() const {
    std::scoped_lock lock(mutex_);
    return finished_;
  }
  bool waitEntered(int count) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kPatience, [&] { return entered_ >= count; });
  }
  bool waitFinished(int count) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kPatience, [&] { return finished_ >= count; });
  }

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  bool open_ = false;
  int entered_ = 0;
  int finished_ = 0;
};

}  // namespace s::test

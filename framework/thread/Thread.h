#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "framework/base/ObjLocker.h"
#include "framework/base/Pooled.h"
#include "framework/thread/IThread.h"

namespace s::thread::win {

// A pooled worker that owns one operating-system thread at a time; a parked worker
// waits on a condition variable, so the pool keeps it with its thread.
//
// Each worker has its own control block, shared only with that worker; the worker never takes
// the Thread's lock. Abandoning a stuck worker (waitIdle with a time-out) marks its block
// exit-requested and leaves it behind: it ends by itself once its task returns, and the Thread
// goes on with a fresh worker and block.
//
// Priorities are per-thread nice values: -1 is nice +5, 0 is nice 0, 1 is nice -5. A lower nice
// value needs CAP_SYS_NICE or a high enough RLIMIT_NICE; without it setPriority() answers false
// and changes nothing.
class Thread final : public Pooled<Thread, IThread> {
 public:
  Thread();
  ~Thread() override;
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  uint32_t threadId() const override;
  void runOnce(ITask* task) override;
  void runTimes(ITask* task, int32_t count) override;
  void runTimesEvery(ITask* task, int32_t count, uint32_t pauseMs) override;
  void runTimesAtRate(ITask* task, int32_t count, uint32_t periodMs) override;
  void runForever(ITask* task) override;
  void runForeverEvery(ITask* task, uint32_t pauseMs) override;
  void runForeverAtRate(ITask* task, uint32_t periodMs) override;
  bool isIdle() const override;
  void waitIdle() override;
  void waitIdle(uint32_t timeoutMs) override;
  void cancel() override;
  void stop() override;
  void waitEnd() override;
  void requestExit() override;
  void exit() override;
  void setDelay(uint32_t ms) override;
  int resume() override;
  void suspend() override;
  int priority() const override;
  bool setPriority(int priority) override;
  void setRoutine(Routine routine) override;

  // Calls the routine with this thread.
  void run() override;
  // Stops the work, restores the normal priority (on a fresh worker when the old one cannot
  // have it back), parks the worker and clears the routine.
  void reset() override;

  std::u16string_view className() const override { return u"s_thread_win_Thread"; }

 private:
  struct Control;

  static void work(const std::shared_ptr<Control>& control);
  static void park(Control& control, std::unique_lock<std::mutex>& lock);

  std::shared_ptr<Control> control() const;
  void schedule(ITask* task, int32_t runs, int mode, uint32_t intervalMs);
  // Under lock_: starts a worker with a fresh block and waits for its thread id.
  void startWorker();
  // Under lock_: ends an idle worker and starts a fresh one.
  void replaceWorker();
  // Under lock_: leaves a busy worker behind and starts a fresh one.
  void abandonWorker();

  std::thread worker_;
  uint32_t threadId_ = 0;
  mutable ObjLocker lock_;
  std::shared_ptr<Control> control_;
  int priority_ = 0;
  std::mutex routineMutex_;
  Routine routine_;
};

}  // namespace s::thread::win

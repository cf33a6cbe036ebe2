#pragma once

#include <cstdint>
#include <functional>

#include "framework/base/IObject.h"
#include "framework/base/IPoolable.h"
#include "framework/thread/ITask.h"

namespace s::thread {

// A worker that runs a task a number of times, paced or not, and then parks until it is given
// work again. The thread is itself a task: its run() calls the routine set with setRoutine().
class IThread : public IObject, public IPoolable, public ITask {
 public:
  using Routine = std::function<void(IThread&)>;

  virtual uint32_t threadId() const = 0;

  // Each of these replaces the worker's current work and wakes it. A count of 0 or below
  // means no runs; the Forever forms run without end. `task` must outlive its runs.
  virtual void runOnce(ITask* task) = 0;
  virtual void runTimes(ITask* task, int32_t count) = 0;
  // Pauses `pauseMs` after each run but the last.
  virtual void runTimesEvery(ITask* task, int32_t count, uint32_t pauseMs) = 0;
  // Starts runs `periodMs` apart; a run longer than the period is followed at once.
  virtual void runTimesAtRate(ITask* task, int32_t count, uint32_t periodMs) = 0;
  virtual void runForever(ITask* task) = 0;
  virtual void runForeverEvery(ITask* task, uint32_t pauseMs) = 0;
  virtual void runForeverAtRate(ITask* task, uint32_t periodMs) = 0;

  // True once the worker has no runs left and parks.
  virtual bool isIdle() const = 0;
  // The waits return at once when called from the worker itself, which could never satisfy
  // them.
  virtual void waitIdle() = 0;
  // A worker still busy after `timeoutMs` is abandoned and replaced by a fresh one.
  virtual void waitIdle(uint32_t timeoutMs) = 0;
  // Lets the current run finish, then parks the worker.
  virtual void cancel() = 0;
  // cancel(), then waitIdle().
  virtual void stop() = 0;
  virtual void waitEnd() = 0;
  // The worker ends at its next check, after the current run.
  virtual void requestExit() = 0;
  // requestExit(), then waitEnd().
  virtual void exit() = 0;
  // A one-time sleep before the worker's next step; run operations clear it.
  virtual void setDelay(uint32_t ms) = 0;
  // Lifts a suspension and wakes a parked worker: 1 when it woke one, else 0.
  virtual int resume() = 0;
  // Parks the worker at its next check until resume(); a run in progress is not interrupted.
  virtual void suspend() = 0;
  // -1 below normal, 0 normal, 1 above normal.
  virtual int priority() const = 0;
  virtual bool setPriority(int priority) = 0;
  virtual void setRoutine(Routine routine) = 0;
};

}  // namespace s::thread

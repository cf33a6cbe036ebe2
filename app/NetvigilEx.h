#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string_view>

#include "framework/base/ObjLocker.h"
#include "framework/base/Pooled.h"
#include "framework/lang/Localizer.h"
#include "framework/thread/ITask.h"

namespace s::app {

class IMonitorSources;
class IMonitorView;

// The controller's interface chain: a pooled object that runs as a task.
class NetvigilExBases : public PoolableObject, public ITask {};

// The monitor's controller. run() is the refresh cycle: each cycle reads both connection
// tables, updates the current list and the log, publishes the status texts and the graph
// sample, then waits for the refresh period.
class NetvigilEx final : public Pooled<NetvigilEx, NetvigilExBases, 1000> {
 public:
  NetvigilEx() = default;
  ~NetvigilEx() override;
  NetvigilEx(const NetvigilEx&) = delete;
  NetvigilEx& operator=(const NetvigilEx&) = delete;

  // Before run(); not owned.
  void setView(IMonitorView* view) { view_ = view; }
  // Before run(); not owned; none means the system's own tables, capture and counters.
  void setSources(IMonitorSources* sources) { sources_ = sources; }
  // The word of the connections text comes from it; not owned.
  void setLocalizer(lang::Localizer* localizer) { localizer_ = localizer; }

  // The refresh cycle; returns when stopRequested is seen before the first cycle or after a
  // wait. Needs a view.
  void run() override;
  // Sets stopRequested, waits until a running cycle has returned, and resets every field.
  void reset() override;

  // Written by commands on the view's thread, read by the cycle.
  std::atomic<uint32_t> refreshPeriodMs{1000};  // 1 = "Real Time"
  std::atomic<bool> wakeRequested{false};
  std::atomic<bool> showHostNames{true};
  std::atomic<int32_t> logLimit{200};
  std::atomic<bool> clearLogRequested{false};
  std::atomic<bool> loggingSuspended{false};
  std::atomic<bool> stopRequested{false};
  // Held by every log-list change and by the export for its whole read.
  thread::ObjLocker listLock;

  // Asks the cycle to end after its current step and ends a long wait within 200 ms.
  void requestStop() {
    stopRequested = true;
    wakeRequested = true;
  }

  std::u16string_view className() const override { return u"s_app_NetvigilEx"; }

 private:
  IMonitorView* view_ = nullptr;
  IMonitorSources* sources_ = nullptr;
  lang::Localizer* localizer_ = nullptr;
  // Held for the whole of run(), so that reset() can wait for it.
  std::mutex running_;
};

}  // namespace s::app

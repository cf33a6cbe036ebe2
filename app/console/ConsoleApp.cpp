#include "app/console/ConsoleApp.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/NetvigilEx.h"
#include "app/console/ConsoleView.h"
#include "app/console/MonitorSettings.h"
#include "framework/lang/TextIds.h"
#include "framework/settings/MappedData.h"
#include "framework/thread/Thread.h"
#include "framework/time/TimeText.h"
#include "platform/linux/rights/RightsClient.h"

namespace s::app::console {

namespace {

namespace ids = lang::text;

constexpr int32_t kFirstMonthText = 5000100;
constexpr int32_t kMonthTextStep = 100;

// The cycle, then word to the view that it is over.
class RefreshTask final : public ITask {
 public:
  RefreshTask(NetvigilEx& controller, ConsoleView& view) : controller_(controller), view_(view) {}
  void run() override {
    controller_.run();
    view_.refreshEnded();
  }

 private:
  NetvigilEx& controller_;
  ConsoleView& view_;
};

// The loop takes these through its signalfd; every thread started later inherits the mask,
// so none of them is interrupted by them.
void blockLoopSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGWINCH}) {
    sigaddset(&signals, signal);
  }
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

// The unit letters and month names of the duration and date texts, in the chosen language.
void localizeTimeTexts(lang::Localizer& localizer) {
  const int32_t units[] = {ids::kUnitDays, ids::kUnitHours, ids::kUnitMinutes, ids::kUnitSeconds};
  for (uint32_t unit = 0; unit < time::kUnitSlots; ++unit) {
    std::u16string_view text = localizer.text(units[unit]);
    if (!text.empty()) {
      time::setUnitText(unit, text);
    }
  }
  for (uint32_t month = 0; month < time::kMonthSlots; ++month) {
    std::u16string_view text =
        localizer.text(kFirstMonthText + static_cast<int32_t>(month) * kMonthTextStep);
    if (!text.empty()) {
      time::setMonthText(month, text);
    }
  }
}

}  // namespace

int runMonitor(const CommandLine& line, bool live) {
  if (live && (isatty(0) == 0 || isatty(1) == 0)) {
    std::fputs(
        "netvigil: the console view needs a terminal for its input and output; --once prints "
        "the connections without one\n",
        stderr);
    return 2;
  }
  // Started before any thread: the rights this process lacks are served by the helper, which
  // ends with the client when the monitor ends.
  platform::RightsClient rights;
  blockLoopSignals();

  PoolPtr<xml::MappedData> settings(xml::MappedData::openProgramSettings());
  PoolPtr<lang::Localizer> localizer(lang::Localizer::fromResource(u"IDR_XML", 130));
  std::u16string_view language = settings->getString(kLanguageDir, u"", u"");
  if (!language.empty()) {
    localizer->selectLanguage(language);
  }
  localizeTimeTexts(*localizer);

  MonitorSettings start = readMonitorSettings(*settings);
  PoolPtr<NetvigilEx> controller = NetvigilEx::make();
  controller->refreshPeriodMs = line.periodMs.value_or(start.refreshPeriodMs);
  controller->logLimit = line.logLimit.value_or(start.logLimit);
  controller->loggingSuspended = start.loggingSuspended;
  controller->showHostNames = start.showHostNames && !line.noResolve;
  controller->setLocalizer(localizer.get());

  ViewOptions options;
  options.live = live;
  options.cycles = line.cycles;
  options.tsv = line.tsv;
  options.saveLogPath = line.saveLogPath;
  options.filter = line.filter;
  int status = 0;
  {
    ConsoleView view(*controller, localizer.get(), *settings, options);
    std::string error;
    if (!view.open(error)) {
      std::fprintf(stderr, "netvigil: %s\n", error.c_str());
      return 1;
    }
    controller->setView(&view);
    RefreshTask task(*controller, view);
    PoolPtr<thread::win::Thread> refreshThread = thread::win::Thread::make();
    refreshThread->runOnce(&task);
    status = view.run();
    refreshThread->waitIdle();
    // Leaves the controller without its view before the view goes.
    controller.reset();
    if (view.settingsChanged() && !settings->save()) {
      std::fputs("netvigil: cannot save the settings\n", stderr);
    }
  }
  return status;
}

}  // namespace s::app::console

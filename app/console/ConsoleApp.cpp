#include "app/console/ConsoleApp.h"

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/NetvigilEx.h"
#include "app/base/AppBase.h"
#include "app/base/SystemCheck.h"
#include "app/base/TimeTexts.h"
#include "app/console/ConsoleView.h"
#include "app/console/MonitorSettings.h"
#include "framework/thread/Thread.h"
#include "platform/linux/EndRequests.h"
#include "platform/linux/rights/RightsClient.h"

namespace s::app::console {

namespace {

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

}  // namespace

int runMonitor(const CommandLine& line, bool live, int argc, const char* const* argv) {
  if (live && (isatty(0) == 0 || isatty(1) == 0)) {
    std::fputs(
        "netvigil: the console view needs a terminal for its input and output; --once prints "
        "the connections without one\n",
        stderr);
    return 2;
  }
  win::SystemCheck system = win::checkSystem({});
  if (!system.usable) {
    std::fprintf(stderr, "%s\n", system.problem.c_str());
    return 1;
  }
  // Started before any thread: the rights this process lacks are served by the helper, which
  // ends with the client when the monitor ends.
  platform::RightsClient rights;
  // The console's loop takes them, and the terminal's resizes, through descriptors; every
  // thread started later inherits the mask, so none of them is interrupted by them.
  platform::blockEndSignals({SIGWINCH});

  PoolPtr<win::AppBase> base = win::AppBase::make();
  base->init(argc, argv, {});
  lang::Localizer* localizer = &base->localizer();
  xml::MappedData* settings = &base->settings();
  win::localizeTimeTexts(*localizer);

  PoolPtr<NetvigilEx> controller = NetvigilEx::make();
  startController(*controller, line, *settings);
  controller->setLocalizer(localizer);

  ViewOptions options;
  options.live = live;
  options.cycles = line.cycles;
  options.tsv = line.tsv;
  options.saveLogPath = line.saveLogPath;
  options.startNotice = base->notice();
  options.filter = line.filter;
  int status = 0;
  {
    ConsoleView view(*controller, localizer, *settings, options);
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
    // A refused settings file was already told of.
    if (!base->saveSettings() && settings->fileState() != xml::FileState::kRefused) {
      std::fputs("netvigil: cannot save the settings\n", stderr);
    }
  }
  return status;
}

}  // namespace s::app::console

#include "app/window/WindowApp.h"

#include <unistd.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "app/NetvigilEx.h"
#include "app/base/AppBase.h"
#include "app/base/ProgramEnd.h"
#include "app/base/TimeTexts.h"
#include "app/console/MonitorSettings.h"
#include "app/window/MonitorWindow.h"
#include "framework/thread/Thread.h"
#include "gui/app/AppWindow.h"
#include "gui/drawer/Skinner.h"
#include "gui/drawer/TextLayout.h"
#include "gui/widgets/LinkOpener.h"
#include "platform/linux/instance/SingleInstance.h"
#include "platform/linux/rights/RightsClient.h"

namespace s::app::window {

namespace {

constexpr int32_t kMainWidth = 840;
constexpr int32_t kMainHeight = 600;
constexpr platform::InstanceMessage kHandOver[] = {platform::InstanceMessage::kShowYourself,
                                                   platform::InstanceMessage::kNotify};

}  // namespace

int runWindow(const console::CommandLine& line, int argc, const char* const* argv,
              const WindowAppOptions& options) {
  // Before anything else: a later start touches neither the settings nor the display.
  platform::SingleInstance instance;
  const std::string name = platform::instanceName(
      "netvigil", getuid(), options.display != nullptr ? options.display : "");
  if (instance.claim(name, kHandOver) == platform::SingleInstance::Claim::kOtherRunning) {
    return 0;
  }
  // Started before any thread: the rights this process lacks are served by the helper.
  platform::RightsClient rights;
  // Every thread started later inherits the mask: the signals come through `ends` alone.
  platform::blockEndSignals();
  platform::EndRequests ends;
  if (options.watchDisplay) {
    options.watchDisplay(ends);
  }

  PoolPtr<gui::drawer::Skinner> skins = gui::drawer::Skinner::newSkinner(u"ThinWindow");
  PoolPtr<win::AppBase> base = win::AppBase::make();
  win::AppBaseOptions baseOptions;
  baseOptions.skins = skins.get();
  baseOptions.openAddress = [](std::u16string_view address) {
    gui::win::LinkOpener::open(address);
  };
  base->init(argc, argv, baseOptions);
  if (!base->notice().empty()) {
    std::fprintf(stderr, "netvigil: %s\n", gui::drawer::TextLayout::utf8(base->notice()).c_str());
  }
  win::localizeTimeTexts(base->localizer());
  PoolPtr<win::AppWindow> appWindow = win::AppWindow::newAppWindow(
      base->windowApplication(), win::AppBase::kMainWindow, win::AppBase::kTextIdBase, kMainWidth,
      kMainHeight, false, app::MiddleClick::kIconize, skins.get(), win::AppBase::kDefaultSkin);

  PoolPtr<NetvigilEx> controller = NetvigilEx::make();
  console::startController(*controller, line, base->settings());
  controller->setLocalizer(&base->localizer());
  int status = 0;
  {
    MonitorWindow view(*controller, *appWindow, base->settings());
    if (!view.build()) {
      std::fputs("netvigil: cannot make the main window on the display\n", stderr);
      return 1;
    }
    instance.setHandler([&view](platform::InstanceMessage message) {
      if (message == platform::InstanceMessage::kShowYourself) {
        view.showRequested();
      }
    });
    controller->setView(&view);
    PoolPtr<thread::win::Thread> refreshThread = thread::win::Thread::make();
    refreshThread->runOnce(controller.get());
    view.show(line.startIconized || base->commandLine().has(win::kStartupOption));
    status = win::waitUntilClosed(
        ends, [&view] { return view.isClosed(); },
        [&view](const platform::EndRequest& /*request*/) { view.close(); },
        {instance.fd(), [&instance] { instance.serve(); }});
    // Waits for the cycle, which still hands its last operations to the window's thread.
    controller.reset();
    refreshThread->waitIdle();
  }
  if (!base->saveSettings() && base->settings().fileState() != xml::FileState::kRefused) {
    std::fputs("netvigil: cannot save the settings\n", stderr);
  }
  return status;
}

}  // namespace s::app::window

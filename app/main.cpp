#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/ToolkitDemo.h"
#include "app/base/SystemCheck.h"
#include "app/console/CommandLine.h"
#include "app/console/ConsoleApp.h"
#include "app/window/WindowApp.h"
#include "gui/layout/Window.h"
#include "platform/dbus/StatusNotifierItem.h"
#include "platform/ui/DesktopScale.h"
#include "platform/ui/TrayChoice.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11Resources.h"
#include "platform/x11/X11TrayIcon.h"

namespace {

// Drawn as large as the desktop asks, as other X programs are.
void scaleToTheDesktop() {
  s::platform::ui::DesktopScale::setFactor(
      s::platform::ui::DesktopScale::fromEnvironment(s::platform::x11::xftDpiOf(nullptr)));
}

int runWindow(const s::app::console::CommandLine& line, int argc, char** argv) {
  scaleToTheDesktop();
  s::app::window::WindowAppOptions options;
  options.display = std::getenv("DISPLAY");
  options.watchDisplay = [](s::platform::EndRequests& ends) {
    s::platform::x11::X11Display::setConnectionLostHandler([&ends] { ends.displayLost(); });
  };
  return s::app::window::runWindow(line, argc, argv, options);
}

}  // namespace

// The main window where a display answers; otherwise the monitor runs on the terminal (live,
// or printed once).
int main(int argc, char** argv) {
  using namespace s::app::console;
  CommandLine line = parseCommandLine(argc, argv);
  if (!line.error.empty()) {
    std::fprintf(stderr, "netvigil: %s\n", line.error.c_str());
    return 2;
  }
  // Every window of the program is on the X server of $DISPLAY.
  s::gui::win::Window::setDisplayFactory([]() -> std::unique_ptr<s::platform::ui::IDisplay> {
    return s::platform::x11::X11Display::open(nullptr);
  });
  // The tray icon: a StatusNotifierItem where the session bus has a watcher, else the X
  // server's system tray; without either, iconizing minimizes.
  s::gui::win::Window::setTrayFactory([](s::platform::ui::IDisplay& display,
                                         s::platform::ui::WindowId /*window*/,
                                         s::platform::ui::ITrayIcon::IListener& listener)
                                          -> std::unique_ptr<s::platform::ui::ITrayIcon> {
    using s::platform::ui::ITrayIcon;
    s::platform::ui::EventLoop& loop = display.loop();
    return s::platform::ui::TrayChoice::make(
        [&loop](ITrayIcon::IListener& choice) {
          return s::platform::dbus::StatusNotifierItem::open(nullptr, loop, choice);
        },
        [&loop](ITrayIcon::IListener& choice) {
          return s::platform::x11::X11TrayIcon::open(nullptr, loop, choice);
        },
        listener);
  });
  switch (line.mode) {
    case Mode::kHelp:
      std::fwrite(usageText().data(), 1, usageText().size(), stdout);
      return 0;
    case Mode::kVersion:
      std::printf("Netvigil %s\n", NETVIGIL_VERSION);
      return 0;
    case Mode::kToolkitDemo:
      scaleToTheDesktop();
      return s::app::runToolkitDemo(argc - line.demoArgument, argv + line.demoArgument);
    case Mode::kConsole:
      return runMonitor(line, true, argc, argv);
    case Mode::kOnce:
      return runMonitor(line, false, argc, argv);
    case Mode::kDefault:
      break;
  }
  const s::app::win::SystemCheck system = s::app::win::checkSystem([] {
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && *display != '\0' &&
           s::platform::x11::X11Display::open(nullptr, false) != nullptr;
  });
  if (!system.usable) {
    std::fprintf(stderr, "%s\n", system.problem.c_str());
    return 1;
  }
  if (system.front == s::app::win::Front::kWindow) {
    return runWindow(line, argc, argv);
  }
  const bool onTerminal = isatty(0) != 0 && isatty(1) != 0;
  return runMonitor(line, effectiveMode(line, onTerminal) == Mode::kConsole, argc, argv);
}

#include <unistd.h>

#include <cstdio>
#include <memory>

#include "app/ToolkitDemo.h"
#include "app/console/CommandLine.h"
#include "app/console/ConsoleApp.h"
#include "gui/layout/Window.h"
#include "platform/dbus/StatusNotifierItem.h"
#include "platform/ui/DesktopScale.h"
#include "platform/ui/TrayChoice.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11Resources.h"
#include "platform/x11/X11TrayIcon.h"

// Until the window exists, the monitor runs on the terminal: live, or printed once.
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
  switch (effectiveMode(line, isatty(0) != 0 && isatty(1) != 0)) {
    case Mode::kHelp:
      std::fwrite(usageText().data(), 1, usageText().size(), stdout);
      return 0;
    case Mode::kVersion:
      std::printf("Netvigil %s\n", NETVIGIL_VERSION);
      return 0;
    case Mode::kToolkitDemo:
      // Drawn as large as the desktop asks, as other X programs are.
      s::platform::ui::DesktopScale::setFactor(
          s::platform::ui::DesktopScale::fromEnvironment(s::platform::x11::xftDpiOf(nullptr)));
      return s::app::runToolkitDemo(argc - line.demoArgument, argv + line.demoArgument);
    case Mode::kConsole:
      return runMonitor(line, true);
    default:
      return runMonitor(line, false);
  }
}

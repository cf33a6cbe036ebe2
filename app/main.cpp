#include <unistd.h>

#include <cstdio>
#include <memory>

#include "app/ToolkitDemo.h"
#include "app/console/CommandLine.h"
#include "app/console/ConsoleApp.h"
#include "gui/layout/Window.h"
#include "platform/ui/DesktopScale.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11Resources.h"

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
      return runMonitor(line, true, argc, argv);
    default:
      return runMonitor(line, false, argc, argv);
  }
}

#pragma once

#include <functional>

#include "app/console/CommandLine.h"
#include "platform/linux/EndRequests.h"

namespace s::app::window {

struct WindowAppOptions {
  // Hands a lost display over to `ends` (the display backend's hook); none: not watched.
  std::function<void(platform::EndRequests& ends)> watchDisplay;
  // The display the instance is kept single on (DISPLAY).
  const char* display = nullptr;
};

// The program's life with its main window: the application base, one instance per user and
// display (a later start hands over to the running one and ends with 0), the application
// window "MainWindow", the controller and its refresh cycle, the window shown (iconized with
// -startup), the wait until it closes, and the shut-down: the cycle stopped and waited for,
// the settings saved once more. An end signal or a lost display ends it as "Exit" does, with
// 128 + the signal's number or 1. Gives the exit status.
int runWindow(const console::CommandLine& line, int argc, const char* const* argv,
              const WindowAppOptions& options);

}  // namespace s::app::window

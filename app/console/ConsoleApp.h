#pragma once

#include "app/console/CommandLine.h"

namespace s::app::console {

// Runs the monitor without a window: the live console view (`live`) or the printout, as the
// command line asks. The program's base (argc and argv are its command line) gives the
// settings, their defaults and the language; the settings take what the keys change. Gives
// the exit status: 2 when the live view has no terminal.
int runMonitor(const CommandLine& line, bool live, int argc, const char* const* argv);

}  // namespace s::app::console

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace s::app::console {

enum class Mode {
  kDefault,  // the console view on a terminal, else the printout
  kConsole,
  kOnce,
  kHelp,
  kVersion,
  kToolkitDemo,
};

// What the program was asked to do. Options left out keep the settings' values.
struct CommandLine {
  Mode mode = Mode::kDefault;
  uint32_t cycles = 3;
  bool tsv = false;
  std::string saveLogPath;
  std::optional<uint32_t> periodMs;
  std::optional<int32_t> logLimit;
  bool noResolve = false;
  // "-startup" (any letter case, "-" or "/"), what the autostart entry passes: start iconized.
  bool startIconized = false;
  // The filter expression the lists start with, UTF-8.
  std::string filter;
  // Where the toolkit demo's own arguments begin (its option included).
  int demoArgument = 0;
  // Why the command line was refused; empty when it was not.
  std::string error;
};

// Reads argv[1..argc-1]. Every option may also be written --name=value.
CommandLine parseCommandLine(int argc, const char* const* argv);

// The mode to run: kDefault becomes the console view on a terminal (standard input and output
// both), else the printout.
Mode effectiveMode(const CommandLine& line, bool onTerminal);

// The text of --help.
std::string_view usageText();

}  // namespace s::app::console

#include "app/console/CommandLine.h"

#include <charconv>
#include <limits>

#include "app/base/CommandLine.h"
#include "app/console/RefreshPeriods.h"

namespace s::app::console {

namespace {

constexpr std::string_view kUsage =
    "Usage: netvigil [OPTION]...\n"
    "Shows the computer's network connections and the log of the ended ones.\n"
    "\n"
    "  --console            the live view on the terminal (the default on a terminal)\n"
    "  --once               run a few refresh cycles, print the current connections, end\n"
    "                       (the default when not run on a terminal)\n"
    "    --cycles N         cycles before the printout (3)\n"
    "    --tsv              the printout as tab-separated values\n"
    "  --save-log FILE      write the connection log to FILE as HTML when the program ends\n"
    "  --period VALUE       refresh frequency: realtime, 0.5s, 1s, 2s, 3s, 5s, 10s, 30s,\n"
    "                       1m or 5m\n"
    "  --log-limit N        keep up to N ended connections in the log (100 ... 3000, or any\n"
    "                       other positive number)\n"
    "  --no-resolve         show addresses, not host names\n"
    "  -startup             start iconized to the tray, as the autostart entry does\n"
    "                       (/startup and any letter case too; the console view has\n"
    "                       nothing to iconize)\n"
    "  --filter EXPR        show only the connections EXPR selects: words found in any\n"
    "                       column, pid: port: lport: rport: proto: state: host: name:\n"
    "                       for one field, -term to leave out what it selects\n"
    "  --toolkit-demo ...   the window toolkit's demonstration window\n"
    "  --help               this text\n"
    "  --version            the program's version\n"
    "\n"
    "Keys of the live view: Tab or l current list / log, / filter (Enter keeps it, Escape\n"
    "clears it), s S or arrows left right sort column, + - refresh frequency, c clear the\n"
    "log, p suspend logging, h host names, up down PgUp PgDn Home End scroll, q quit.\n";

bool positive(std::string_view text, uint32_t& value) {
  uint32_t parsed = 0;
  auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (failure != std::errc() || end != text.data() + text.size() || parsed == 0 ||
      parsed > static_cast<uint32_t>(std::numeric_limits<int32_t>::max())) {
    return false;
  }
  value = parsed;
  return true;
}

// Keeps the first error: the one the user meets first in the line.
void refuse(CommandLine& line, std::string text) {
  if (line.error.empty()) {
    line.error = std::move(text);
  }
}

// `modeOption` is the option that set the mode so far.
void setMode(CommandLine& line, Mode mode, std::string_view option, std::string_view& modeOption) {
  if (line.mode != Mode::kDefault && line.mode != mode) {
    refuse(line,
           std::string(modeOption) + " and " + std::string(option) + " cannot be used together");
    return;
  }
  line.mode = mode;
  modeOption = option;
}

}  // namespace

CommandLine parseCommandLine(int argc, const char* const* argv) {
  CommandLine line;
  std::string_view modeOption;
  std::string_view onceOption;
  for (int i = 1; i < argc && line.error.empty(); ++i) {
    std::string_view arg = argv[i];
    std::string_view name = arg;
    std::optional<std::string_view> inlineValue;
    if (size_t equals = arg.find('='); arg.starts_with("--") && equals != std::string_view::npos) {
      name = arg.substr(0, equals);
      inlineValue = arg.substr(equals + 1);
    }
    // The option's value: after "=", or the next argument.
    auto value = [&](std::string_view& out) {
      if (inlineValue) {
        out = *inlineValue;
        return true;
      }
      if (i + 1 < argc) {
        out = argv[++i];
        return true;
      }
      refuse(line, std::string(name) + " needs a value");
      return false;
    };
    auto noValue = [&] {
      if (inlineValue) {
        refuse(line, std::string(name) + " takes no value");
      }
    };
    std::string_view text;
    if (win::isStartupOption(arg)) {
      line.startIconized = true;
    } else if (name == "--toolkit-demo") {
      if (i != 1) {
        refuse(line, "--toolkit-demo comes first; the options after it are the demo's");
      }
      line.mode = Mode::kToolkitDemo;
      line.demoArgument = i;
      return line;
    } else if (name == "--console") {
      noValue();
      setMode(line, Mode::kConsole, name, modeOption);
    } else if (name == "--once") {
      noValue();
      setMode(line, Mode::kOnce, name, modeOption);
    } else if (name == "--help") {
      noValue();
      setMode(line, Mode::kHelp, name, modeOption);
    } else if (name == "--version") {
      noValue();
      setMode(line, Mode::kVersion, name, modeOption);
    } else if (name == "--tsv") {
      noValue();
      line.tsv = true;
      onceOption = name;
    } else if (name == "--no-resolve") {
      noValue();
      line.noResolve = true;
    } else if (name == "--cycles") {
      if (value(text) && !positive(text, line.cycles)) {
        refuse(line, "--cycles " + std::string(text) + ": not a positive whole number");
      }
      onceOption = name;
    } else if (name == "--log-limit") {
      uint32_t limit = 0;
      if (value(text)) {
        if (positive(text, limit)) {
          line.logLimit = static_cast<int32_t>(limit);
        } else {
          refuse(line, "--log-limit " + std::string(text) + ": not a positive whole number");
        }
      }
    } else if (name == "--period") {
      uint32_t ms = 0;
      if (value(text)) {
        if (parsePeriod(text, ms)) {
          line.periodMs = ms;
        } else {
          refuse(line, "--period " + std::string(text) +
                           ": not one of realtime, 0.5s, 1s, 2s, 3s, 5s, 10s, 30s, 1m, 5m");
        }
      }
    } else if (name == "--filter") {
      if (value(text)) {
        line.filter = text;
      }
    } else if (name == "--save-log") {
      if (value(text)) {
        if (text.empty()) {
          refuse(line, "--save-log needs a file name");
        }
        line.saveLogPath = text;
      }
    } else {
      refuse(line, "unknown option " + std::string(arg) + " (see --help)");
    }
  }
  if (line.error.empty() && !onceOption.empty()) {
    // --cycles and --tsv shape the printout: they ask for it.
    setMode(line, Mode::kOnce, onceOption, modeOption);
  }
  return line;
}

Mode effectiveMode(const CommandLine& line, bool onTerminal) {
  if (line.mode != Mode::kDefault) {
    return line.mode;
  }
  return onTerminal ? Mode::kConsole : Mode::kOnce;
}

std::string_view usageText() {
  return kUsage;
}

}  // namespace s::app::console

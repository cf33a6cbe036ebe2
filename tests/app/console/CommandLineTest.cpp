#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/console/CommandLine.h"
#include "app/console/RefreshPeriods.h"

namespace s::app::console {
namespace {

CommandLine parse(std::vector<const char*> args) {
  args.insert(args.begin(), "netvigil");
  return parseCommandLine(static_cast<int>(args.size()), args.data());
}

struct Accepted {
  std::vector<const char*> args;
  Mode mode;
  uint32_t cycles;
  bool tsv;
  std::optional<uint32_t> periodMs;
  std::optional<int32_t> logLimit;
  bool noResolve;
  std::string saveLog;
};

TEST(CommandLine, AcceptsEveryOptionAndItsValues) {
  const Accepted cases[] = {
      {{}, Mode::kDefault, 3, false, {}, {}, false, ""},
      {{"--console"}, Mode::kConsole, 3, false, {}, {}, false, ""},
      {{"--once"}, Mode::kOnce, 3, false, {}, {}, false, ""},
      {{"--once", "--cycles", "7", "--tsv"}, Mode::kOnce, 7, true, {}, {}, false, ""},
      // The printout's own options ask for the printout.
      {{"--tsv"}, Mode::kOnce, 3, true, {}, {}, false, ""},
      {{"--cycles=1"}, Mode::kOnce, 1, false, {}, {}, false, ""},
      {{"--period", "realtime"}, Mode::kDefault, 3, false, 1U, {}, false, ""},
      {{"--period=real-time"}, Mode::kDefault, 3, false, 1U, {}, false, ""},
      {{"--period", "0.5s"}, Mode::kDefault, 3, false, 500U, {}, false, ""},
      {{"--period", "0.5"}, Mode::kDefault, 3, false, 500U, {}, false, ""},
      {{"--period", "500ms"}, Mode::kDefault, 3, false, 500U, {}, false, ""},
      {{"--period", "30s"}, Mode::kDefault, 3, false, 30000U, {}, false, ""},
      {{"--period", "60s"}, Mode::kDefault, 3, false, 60000U, {}, false, ""},
      {{"--period", "5m"}, Mode::kDefault, 3, false, 300000U, {}, false, ""},
      {{"--period", "0.5m"}, Mode::kDefault, 3, false, 30000U, {}, false, ""},
      {{"--log-limit", "3000"}, Mode::kDefault, 3, false, {}, 3000, false, ""},
      // Any positive number, as the settings store keeps it.
      {{"--log-limit", "250"}, Mode::kDefault, 3, false, {}, 250, false, ""},
      {{"--no-resolve", "--save-log", "/tmp/a b.htm"},
       Mode::kDefault,
       3,
       false,
       {},
       {},
       true,
       "/tmp/a b.htm"},
      {{"--save-log=x.htm", "--console"}, Mode::kConsole, 3, false, {}, {}, false, "x.htm"},
      {{"--help"}, Mode::kHelp, 3, false, {}, {}, false, ""},
      {{"--version"}, Mode::kVersion, 3, false, {}, {}, false, ""},
  };
  for (const Accepted& c : cases) {
    std::string shown;
    for (const char* arg : c.args) {
      shown += std::string(arg) + " ";
    }
    SCOPED_TRACE(shown);
    CommandLine line = parse(c.args);
    EXPECT_EQ(line.error, "");
    EXPECT_EQ(line.mode, c.mode);
    EXPECT_EQ(line.cycles, c.cycles);
    EXPECT_EQ(line.tsv, c.tsv);
    EXPECT_EQ(line.periodMs, c.periodMs);
    EXPECT_EQ(line.logLimit, c.logLimit);
    EXPECT_EQ(line.noResolve, c.noResolve);
    EXPECT_EQ(line.saveLogPath, c.saveLog);
  }
}

TEST(CommandLine, RefusesWhatItDoesNotKnowWithTheReason) {
  const std::pair<std::vector<const char*>, std::string> cases[] = {
      {{"--bogus"}, "unknown option --bogus"},
      {{"-x"}, "unknown option -x"},
      {{"list"}, "unknown option list"},
      {{"--period"}, "--period needs a value"},
      {{"--period", "7s"}, "--period 7s: not one of"},
      {{"--period", "1ms"}, "--period 1ms: not one of"},
      {{"--period", "0.0005s"}, "not one of"},
      {{"--period", "s"}, "not one of"},
      {{"--period", "-1s"}, "not one of"},
      {{"--log-limit", "0"}, "--log-limit 0: not a positive whole number"},
      {{"--log-limit", "-5"}, "not a positive whole number"},
      {{"--log-limit", "12x"}, "not a positive whole number"},
      {{"--log-limit", "3000000000"}, "not a positive whole number"},
      {{"--cycles", "0"}, "--cycles 0: not a positive whole number"},
      {{"--save-log="}, "--save-log needs a file name"},
      {{"--console", "--once"}, "--console and --once cannot be used together"},
      {{"--console", "--tsv"}, "--console and --tsv cannot be used together"},
      {{"--tsv=1"}, "--tsv takes no value"},
      {{"--once", "--toolkit-demo"}, "--toolkit-demo comes first"},
      // The first fault is the one reported.
      {{"--bogus", "--period", "7s"}, "unknown option --bogus"},
  };
  for (const auto& [args, reason] : cases) {
    SCOPED_TRACE(reason);
    CommandLine line = parse(args);
    EXPECT_NE(line.error.find(reason), std::string::npos) << line.error;
  }
}

TEST(CommandLine, TakesTheFilterWhateverItStartsWith) {
  EXPECT_EQ(parse({"--filter", "-sshd port:22", "--once"}).filter, "-sshd port:22");
  EXPECT_EQ(parse({"--console", "--filter=--"}).filter, "--");
  CommandLine line = parse({"--filter", "pid:1"});
  EXPECT_EQ(line.mode, Mode::kDefault);
  EXPECT_EQ(parse({"--filter"}).error, "--filter needs a value");
}

TEST(CommandLine, LeavesTheToolkitDemoItsOwnOptions) {
  CommandLine line = parse({"--toolkit-demo", "--seconds", "2", "--bogus"});
  EXPECT_EQ(line.error, "");
  EXPECT_EQ(line.mode, Mode::kToolkitDemo);
  EXPECT_EQ(line.demoArgument, 1);
}

TEST(CommandLine, TakesTheStartupSwitchInEveryFormBesideOtherOptions) {
  const std::vector<const char*> cases[] = {
      {"-startup"},
      {"-STARTUP"},
      {"/startup"},
      {"/StartUp"},
      {"--once", "-startup", "--cycles", "2"},
      {"-startup", "--no-resolve"},
  };
  for (const std::vector<const char*>& args : cases) {
    CommandLine line = parse(args);
    EXPECT_EQ(line.error, "") << args[0];
    EXPECT_TRUE(line.startIconized) << args[0];
  }
  EXPECT_FALSE(parse({"--once"}).startIconized);
  // A file named like it is still the value of the option before it.
  CommandLine saved = parse({"--save-log", "/startup"});
  EXPECT_FALSE(saved.startIconized);
  EXPECT_EQ(saved.saveLogPath, "/startup");
  // Only the whole word.
  EXPECT_NE(parse({"-startups"}).error, "");
  EXPECT_NE(parse({"--startup"}).error, "");
}

TEST(CommandLine, ChoosesTheConsoleOnlyOnATerminal) {
  EXPECT_EQ(effectiveMode(parse({}), true), Mode::kConsole);
  EXPECT_EQ(effectiveMode(parse({}), false), Mode::kOnce);
  EXPECT_EQ(effectiveMode(parse({"--console"}), false), Mode::kConsole);
  EXPECT_EQ(effectiveMode(parse({"--once"}), true), Mode::kOnce);
}

TEST(RefreshPeriods, StoredValuesMapToTheirMenuPositions) {
  const std::pair<int64_t, uint32_t> cases[] = {
      {1, 0},     {500, 1},   {1000, 2},   {2000, 3}, {3000, 4}, {5000, 5}, {10000, 6},
      {30000, 7}, {60000, 8}, {300000, 9}, {750, 2},  {0, 2},    {-1, 2},   {100, 2},
  };
  for (const auto& [stored, position] : cases) {
    EXPECT_EQ(periodPosition(stored), position) << stored;
  }
}

}  // namespace
}  // namespace s::app::console

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/linux/ChildReaper.h"
#include "platform/linux/ProgramLauncher.h"
#include "tests/support/TempFolder.h"

namespace s::platform {
namespace {

bool waitUntil(const auto& condition) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// A program that writes each of its arguments on a line of `record`.
void writeRecorder(const std::filesystem::path& program, const std::filesystem::path& record) {
  std::ofstream out(program);
  out << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" << record.string()
      << ".part'\nmv '" << record.string() << ".part' '" << record.string() << "'\n";
  out.close();
  chmod(program.c_str(), 0755);
}

TEST(ProgramLauncher, PassesArgumentsUntouchedByAnyShell) {
  test::TempFolder folder;
  writeRecorder(folder.path("recorder"), folder.path("record"));
  const std::vector<std::string> arguments = {folder.path("recorder").string(),
                                              "http://a b;$(touch x)'\"", "*", "-n"};
  ASSERT_TRUE(launchProgram(arguments));
  ASSERT_TRUE(waitUntil([&] { return std::filesystem::exists(folder.path("record")); }));
  EXPECT_EQ(test::fileText(folder.path("record")), "http://a b;$(touch x)'\"\n*\n-n\n");
}

TEST(ProgramLauncher, FindsProgramsInPathAndReapsThem) {
  size_t before = ChildReaper::instance().pendingCount();
  const std::vector<std::string> sleeper = {"sleep", "0.2"};
  const std::vector<std::string> quick = {"true"};
  ASSERT_TRUE(launchProgram(sleeper));
  ASSERT_TRUE(launchProgram(quick));
  // Both are reaped, the quick one while the other still runs: no zombie stays behind.
  EXPECT_TRUE(waitUntil([&] { return ChildReaper::instance().pendingCount() == before; }));
}

TEST(ProgramLauncher, RefusesWhatItCannotStart) {
  const std::vector<std::string> missing = {"netvigil-no-such-program"};
  const std::vector<std::string> emptyName = {""};
  EXPECT_FALSE(launchProgram(missing));
  EXPECT_FALSE(launchProgram(emptyName));
  EXPECT_FALSE(launchProgram({}));
}

}  // namespace
}  // namespace s::platform

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/base/StartOnBoot.h"
#include "framework/file/DesktopEntry.h"
#include "framework/file/NativePath.h"
#include "tests/support/ProgramOutput.h"
#include "tests/support/TempFolder.h"

namespace s::app::win {
namespace {

namespace fs = std::filesystem;

// A configuration folder of the test's own.
class StartOnBootTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("XDG_CONFIG_HOME", config_.root().c_str(), 1); }
  void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }

  static PoolPtr<file::PathWin> self() { return file::PathWin::executable(); }
  fs::path entry() const { return config_.path("autostart/netvigil.desktop"); }

  s::test::TempFolder config_;
};

TEST_F(StartOnBootTest, TheEntryIsMadeCheckedAndRemoved) {
  EXPECT_EQ(startOnBootPath(), file::fromNative(entry().string()));
  EXPECT_FALSE(startsOnBoot());
  ASSERT_TRUE(setStartOnBoot(*self()));
  EXPECT_TRUE(startsOnBoot());
  file::DesktopEntry written = file::DesktopEntry::parse(s::test::fileText(entry()));
  EXPECT_EQ(written.type, u"Application");
  ASSERT_EQ(written.exec.size(), 2u);
  EXPECT_EQ(written.exec[0], self()->full());
  EXPECT_EQ(written.exec[1], u"-startup");
  // What the desktop's own tools accept.
  const std::string verdict = s::test::programOutput({"desktop-file-validate", entry().string()});
  EXPECT_EQ(verdict, "") << verdict;

  EXPECT_TRUE(clearStartOnBoot());
  EXPECT_FALSE(fs::exists(entry()));
  EXPECT_FALSE(startsOnBoot());
  EXPECT_TRUE(clearStartOnBoot());
}

TEST_F(StartOnBootTest, AnOlderEntryIsReplacedAndAHiddenOneCountsAsOff) {
  fs::create_directories(entry().parent_path());
  std::ofstream(entry()) << "[Desktop Entry]\nType=Application\nName=netvigil\n"
                            "Exec=/opt/old/netvigil -startup\nHidden=true\n";
  EXPECT_FALSE(startsOnBoot());
  ASSERT_TRUE(setStartOnBoot(*self()));
  EXPECT_TRUE(startsOnBoot());
  EXPECT_EQ(file::DesktopEntry::parse(s::test::fileText(entry())).exec.at(0), self()->full());
}

TEST_F(StartOnBootTest, NoEntryForAProgramThatIsNotThere) {
  PoolPtr<file::PathWin> missing =
      file::PathWin::of(file::fromNative(config_.path("gone").string()));
  EXPECT_FALSE(setStartOnBoot(*missing));
  EXPECT_FALSE(fs::exists(entry()));
}

}  // namespace
}  // namespace s::app::win

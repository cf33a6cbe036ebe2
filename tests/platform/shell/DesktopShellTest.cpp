#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/shell/DesktopShell.h"
#include "tests/platform/dbus/FileManagerService.h"
#include "tests/support/SessionBusDaemon.h"
#include "tests/support/TempFolder.h"

namespace s::platform {
namespace {

// An xdg-open of the test's own, first in PATH, that writes its arguments to a file; PATH is
// given back with the holder.
class RecordingXdgOpen {
 public:
  RecordingXdgOpen() {
    std::filesystem::path program = folder_.path("xdg-open");
    std::ofstream(program) << "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" << record().string()
                           << ".part'\nmv '" << record().string() << ".part' '" << record().string()
                           << "'\n";
    chmod(program.c_str(), 0755);
    const char* path = getenv("PATH");
    previous_ = path != nullptr ? path : "";
    setenv("PATH", (folder_.root().string() + ":" + previous_).c_str(), 1);
  }
  ~RecordingXdgOpen() { setenv("PATH", previous_.c_str(), 1); }
  RecordingXdgOpen(const RecordingXdgOpen&) = delete;
  RecordingXdgOpen& operator=(const RecordingXdgOpen&) = delete;

  // What the program was given, once it has run; empty when it did not run within 10 s.
  std::string arguments() const {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!std::filesystem::exists(record()) && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return s::test::fileText(record());
  }

 private:
  std::filesystem::path record() const { return folder_.path("record"); }
  s::test::TempFolder folder_;
  std::string previous_;
};

TEST(DesktopShell, OpensAddressesWithXdgOpen) {
  RecordingXdgOpen xdgOpen;
  DesktopShell shell;
  EXPECT_FALSE(shell.openAddress(""));
  EXPECT_FALSE(shell.openAddress("--help"));
  ASSERT_TRUE(shell.openAddress("http://host name;$(x)"));
  EXPECT_EQ(xdgOpen.arguments(), "http://host name;$(x)\n");
}

TEST(DesktopShell, TheFileManagerShowsTheFileWhenOneAnswers) {
  s::test::SessionBusDaemon daemon;
  ASSERT_TRUE(daemon.ok());
  test::FileManagerService fileManager;
  ASSERT_TRUE(fileManager.ok());
  std::vector<std::string> ownWindow;
  DesktopShell shell([&](const std::string& path) { ownWindow.push_back(path); });
  EXPECT_TRUE(shell.showInFileManager("/usr/bin/env"));
  EXPECT_TRUE(shell.showProperties("/usr/bin/env"));
  EXPECT_EQ(fileManager.calls(),
            (std::vector<std::string>{"ShowItems file:///usr/bin/env",
                                      "ShowItemProperties file:///usr/bin/env"}));
  EXPECT_TRUE(ownWindow.empty());
}

TEST(DesktopShell, WithoutAFileManagerTheFolderOpensAndPropertiesFallBack) {
  s::test::SessionBusDaemon daemon;
  ASSERT_TRUE(daemon.ok());
  RecordingXdgOpen xdgOpen;
  std::vector<std::string> ownWindow;
  DesktopShell shell([&](const std::string& path) { ownWindow.push_back(path); });
  ASSERT_TRUE(shell.showInFileManager("/usr/bin/env"));
  EXPECT_EQ(xdgOpen.arguments(), "/usr/bin\n");
  EXPECT_TRUE(shell.showProperties("/usr/bin/env"));
  EXPECT_EQ(ownWindow, (std::vector<std::string>{"/usr/bin/env"}));
  EXPECT_FALSE(DesktopShell().showProperties("/usr/bin/env"));
  EXPECT_FALSE(shell.showInFileManager("env"));
}

}  // namespace
}  // namespace s::platform

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/ConnectionColumns.h"
#include "app/LogExport.h"
#include "app/LogFileName.h"
#include "app/LogSaveFolder.h"
#include "app/LogSaver.h"
#include "framework/file/NativePath.h"
#include "framework/lang/Localizer.h"
#include "framework/settings/MappedData.h"
#include "framework/time/Time.h"
#include "gui/listbox2/ListBox2.h"
#include "platform/dbus/FileUri.h"
#include "platform/dbus/PortalFileChooser.h"
#include "platform/ui/EventLoop.h"
#include "tests/platform/dbus/PortalService.h"
#include "tests/support/SessionBusDaemon.h"
#include "tests/support/TempFolder.h"

namespace s::app {
namespace {

namespace fs = std::filesystem;

struct NoEvents final : platform::ui::IEventSink {
  void onPlatformEvent(const platform::ui::Event& /*event*/) override {}
};

class LogSaverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previousHome_ = getenv("NETVIGIL_HOME") != nullptr
                        ? std::optional<std::string>(getenv("NETVIGIL_HOME"))
                        : std::nullopt;
    setenv("NETVIGIL_HOME", home_.root().c_str(), 1);
    localizer_->selectLanguage(u"English");
    addLogColumns(*log_, localizer_.get());
  }
  void TearDown() override {
    log_->removeAllAndRelease();
    if (previousHome_) {
      setenv("NETVIGIL_HOME", previousHome_->c_str(), 1);
    } else {
      unsetenv("NETVIGIL_HOME");
    }
  }

  // Presses the button and runs the window's loop until the save has ended.
  std::optional<LogSaver::Outcome> press(LogSaver& saver) {
    std::optional<LogSaver::Outcome> outcome;
    if (!saver.saveLogAsHtml(loop_, "x11:1c00003",
                             [&](LogSaver::Outcome how, const std::string&) { outcome = how; })) {
      return std::nullopt;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    NoEvents sink;
    while (!outcome && std::chrono::steady_clock::now() < deadline) {
      loop_.dispatch(sink, 50);
    }
    return outcome;
  }

  LogSaver saver() {
    return LogSaver(chooser_, *settings_, localizer_.get(), [this](const std::string& path) {
      return writeLogHtml(*log_, localizer_.get(), path);
    });
  }

  std::u16string storedFolder() {
    return std::u16string(settings_->getString(kLogSaveDir, kLogSaveFolderKey, u"none"));
  }

  test::TempFolder home_;
  std::optional<std::string> previousHome_;
  test::SessionBusDaemon bus_;
  PoolPtr<lang::Localizer> localizer_{lang::Localizer::fromResource(u"IDR_XML", 130)};
  PoolPtr<gui::win::ListBox2> log_ = gui::win::ListBox2::make();
  PoolPtr<xml::MappedData> settings_{xml::MappedData::inMemory()};
  platform::PortalFileChooser chooser_;
  platform::ui::EventLoop loop_;
};

TEST_F(LogSaverTest, TheChosenFileIsWrittenAndItsFolderRemembered) {
  ASSERT_TRUE(bus_.ok());
  fs::path chosen = home_.path("pages/My Log.htm");
  platform::test::PortalService portal(0, platform::fileUri(chosen.string()));
  ASSERT_TRUE(portal.ok());
  LogSaver logSaver = saver();
  std::string expectedName = file::toNative(defaultLogFileName(*time::Time::nowLocal()));

  EXPECT_EQ(press(logSaver), LogSaver::Outcome::kWritten);
  EXPECT_EQ(test::fileText(chosen).substr(0, 6), "<html>");
  EXPECT_EQ(storedFolder(), file::fromNative(home_.path("pages").string()));
  std::vector<std::string> asked = portal.asked();
  ASSERT_EQ(asked.size(), 6U);
  EXPECT_EQ(asked[0], "parent=x11:1c00003");
  EXPECT_EQ(asked[1], "title=Save Log...");
  // The press near an hour's turn may name the next hour.
  EXPECT_EQ(asked[2].substr(0, 20), ("current_name=" + expectedName).substr(0, 20));
  EXPECT_EQ(asked[3], "current_folder=" + home_.path("log").string() + "|");
  EXPECT_EQ(asked[4], "filter=Log File (HTML) (*.htm) 0:*.htm");
  EXPECT_TRUE(fs::is_directory(home_.path("log")));

  // The next dialog opens where the last log went.
  EXPECT_EQ(press(logSaver), LogSaver::Outcome::kWritten);
  EXPECT_EQ(portal.asked()[9], "current_folder=" + home_.path("pages").string() + "|");
}

TEST_F(LogSaverTest, CancelOpenDialogAndNoPortal) {
  ASSERT_TRUE(bus_.ok());
  LogSaver logSaver = saver();
  // No portal answers: the caller is told there was no dialog, and nothing is stored.
  EXPECT_EQ(press(logSaver), LogSaver::Outcome::kNoDialog);
  {
    platform::test::PortalService cancelling(1, "");
    ASSERT_TRUE(cancelling.ok());
    EXPECT_EQ(press(logSaver), LogSaver::Outcome::kCancelled);
  }
  EXPECT_EQ(storedFolder(), u"none");
  {
    // While the user is still choosing, another press opens no second dialog; the saver going
    // away gives the open one up.
    platform::test::PortalService silent(0, "", false);
    ASSERT_TRUE(silent.ok());
    auto open = std::make_unique<LogSaver>(saver());
    ASSERT_TRUE(open->saveLogAsHtml(loop_, ""));
    EXPECT_FALSE(open->saveLogAsHtml(loop_, ""));
    open.reset();
  }
  EXPECT_EQ(storedFolder(), u"none");
}

}  // namespace
}  // namespace s::app

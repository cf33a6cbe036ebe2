#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/base/AppBase.h"
#include "app/base/ProgramIcon.h"
#include "framework/file/NativePath.h"
#include "image/PngDecoder.h"
#include "tests/support/TempFolder.h"

namespace s::app::win {
namespace {

namespace fs = std::filesystem;

// A data folder of the test's own for the program's settings.
class AppBaseTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("NETVIGIL_HOME", home_.root().c_str(), 1); }
  void TearDown() override { unsetenv("NETVIGIL_HOME"); }

  PoolPtr<AppBase> started() {
    PoolPtr<AppBase> base = AppBase::make();
    const char* argv[] = {"netvigil", "/STARTUP", "x"};
    base->init(3, argv, {});
    return base;
  }
  fs::path settingsFile() const { return home_.path("savedata/SaveData.xml"); }

  s::test::TempFolder home_;
};

TEST_F(AppBaseTest, StartUpKeepsTheProgramsItemsAndSavesItsValues) {
  PoolPtr<AppBase> base = started();
  EXPECT_EQ(base->textIdBase(), 500000);
  EXPECT_TRUE(base->commandLine().has(kStartupOption));
  char self[PATH_MAX] = {};
  ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
  EXPECT_EQ(base->programFile().full(), file::fromNative(self));
  EXPECT_EQ(base->programFolder().full(), file::fromNative(fs::path(self).parent_path().string()));
  EXPECT_EQ(base->versionText(), file::fromNative(NETVIGIL_VERSION));
  EXPECT_FALSE(base->skinPicture(131).empty());
  EXPECT_FALSE(base->skinPicture(132).empty());
  EXPECT_TRUE(base->notice().empty());
  EXPECT_EQ(base->skinIndex(), -1);

  // The automatic saving is on once start-up is done, and start-up's values went to it.
  EXPECT_TRUE(base->settings().autoSave());
  ASSERT_TRUE(base->settings().flush());
  std::string text = s::test::fileText(settingsFile());
  EXPECT_NE(text.find("<Version>" NETVIGIL_VERSION "</Version>"), std::string::npos) << text;
  base->settings().setS32(u"MainWindow\\View", u"RefreshFrequency", 500);
  ASSERT_TRUE(base->settings().flush());
  EXPECT_NE(s::test::fileText(settingsFile()).find("RefreshFrequency=\"500\""), std::string::npos);
}

TEST_F(AppBaseTest, TheShutDownSavesOnceMore) {
  PoolPtr<AppBase> base = started();
  base->settings().setAutoSave(false);
  base->settings().setString(u"View\\Log", u"LastSaveFolderPath", u"/home/u");
  base.reset();
  EXPECT_NE(s::test::fileText(settingsFile()).find("LastSaveFolderPath=\"/home/u\""),
            std::string::npos);
}

TEST_F(AppBaseTest, ASettingsFileKeptAsideIsToldOfOnceAndTheDefaultsApply) {
  fs::create_directories(settingsFile().parent_path());
  std::ofstream(settingsFile()) << "<savedata><MainWindow><View RefreshFrequency=\"500\"";
  PoolPtr<AppBase> base = started();
  const std::u16string& notice = base->notice();
  EXPECT_NE(notice.find(base->settings().keptAsidePath()), std::u16string::npos);
  EXPECT_NE(notice.find(u"default settings"), std::u16string::npos);
  EXPECT_EQ(base->settings().getS32(u"MainWindow\\View", u"RefreshFrequency", 1000), 1000);
  // The next start reads what this one saved, and has nothing to tell.
  base.reset();
  EXPECT_TRUE(started()->notice().empty());
}

TEST_F(AppBaseTest, AnApplicationWindowTakesTheSettingsTextsAndIcon) {
  PoolPtr<AppBase> base = started();
  AppWindow::Application application = base->windowApplication();
  EXPECT_EQ(application.settings, &base->settings());
  EXPECT_EQ(application.localizer, &base->localizer());
  ASSERT_EQ(application.icon.width, 32);
  ASSERT_EQ(application.icon.height, 32);
  ASSERT_EQ(application.icon.argb.size(), 32u * 32u);
  // The tile is opaque in the middle, and its rounded corner lets the desktop through.
  EXPECT_EQ(application.icon.argb[16 * 32 + 16] >> 24, 0xFFu);
  EXPECT_LT(application.icon.argb[0] >> 24, 0x80u);
}

TEST(ProgramIcon, EverySizeIsAPictureOfThatSize) {
  for (int size : ProgramIcon::kSizes) {
    std::span<const uint8_t> png = ProgramIcon::png(size);
    PoolPtr<image::ImageCache> picture = image::PngDecoder::decode({png.data(), png.size()});
    ASSERT_NE(picture, nullptr) << size;
    EXPECT_EQ(picture->width(), size);
    EXPECT_EQ(picture->height(), size);
  }
  EXPECT_EQ(ProgramIcon::png(20).data(), ProgramIcon::png(32).data());
  EXPECT_EQ(ProgramIcon::png(1000).data(), ProgramIcon::png(256).data());
}

}  // namespace
}  // namespace s::app::win

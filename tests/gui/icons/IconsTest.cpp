#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <filesystem>

#include "gui/icons/CellLayout.h"
#include "gui/icons/IconDrawer.h"
#include "gui/icons/IconSourceLoader.h"
#include "image/ImageCache.h"
#include "tests/image/Fixtures.h"

namespace {

using fixtures::Bgra;
using s::gui::CellBox;
using s::gui::CellLayout;
using s::image::ImageCache;
namespace fs = std::filesystem;

TEST(CellLayoutTest, BoxesFollowEachOther) {
  const CellBox cell{10, 20, 200, 40};
  struct Case {
    const char* name;
    int level;
    bool tree, check, icon;
    CellBox treeBox, checkBox, iconBox, textBox;
  };
  const Case cases[] = {
      {"text only",
       0,
       false,
       false,
       false,
       {14, 21, 14, 21},
       {14, 21, 14, 21},
       {14, 22, 14, 22},
       {14, 20, 196, 40}},
      // The icon box is reserved whether or not a picture comes: 13 + 3 before the text.
      {"icons",
       0,
       false,
       false,
       true,
       {14, 21, 14, 21},
       {14, 21, 14, 21},
       {14, 22, 27, 35},
       {30, 20, 196, 40}},
      {"all at level 2",
       2,
       true,
       true,
       true,
       {44, 21, 57, 36},
       {59, 21, 74, 36},
       {77, 22, 90, 35},
       {93, 20, 196, 40}},
      {"check box only",
       1,
       false,
       true,
       false,
       {29, 21, 29, 21},
       {29, 21, 44, 36},
       {47, 22, 47, 22},
       {47, 20, 196, 40}},
  };
  auto same = [](const CellBox& a, const CellBox& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const CellLayout layout =
        CellLayout::of(cell, c.level, {.tree = c.tree, .check = c.check, .icon = c.icon});
    EXPECT_TRUE(same(layout.tree, c.treeBox));
    EXPECT_TRUE(same(layout.check, c.checkBox));
    EXPECT_TRUE(same(layout.icon, c.iconBox));
    EXPECT_TRUE(same(layout.text, c.textBox));
  }
}

TEST(CellLayoutTest, TextPlacement) {
  const CellBox text{30, 20, 196, 38};
  struct Case {
    int alignment, width, height, x, y;
  };
  const Case cases[] = {
      {0, 50, 13, 30, 22},   // (18 - 13) / 2 = 2 in whole pixels
      {1, 50, 13, 88, 22},   // 30 + (166 - 50) / 2
      {2, 50, 13, 146, 22},  // 196 - 50
      {1, 51, 18, 87, 20},
  };
  for (const Case& c : cases) {
    int x = -1;
    int y = -1;
    CellLayout::placeText(text, c.width, c.height, c.alignment, x, y);
    EXPECT_EQ(x, c.x);
    EXPECT_EQ(y, c.y);
  }
}

TEST(IconDrawerTest, ScaledCopyIsMadeOnceAndKept) {
  auto icon = fixtures::solidPicture(16, {10, 20, 30, 255}, false);
  s::image::IImageBuffer* first = s::gui::IconDrawer::scaled(*icon, 13, 13);
  ASSERT_NE(first, nullptr);
  EXPECT_NE(first, icon.get());
  EXPECT_EQ(first, icon->scaledCopy());
  EXPECT_EQ(first->width(), 13);
  EXPECT_EQ(first->row(12)[0], 10);
  // A repaint does not resample: a change to the picture is not seen through the copy.
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      icon->pixel(x, y)[0] = 99;
    }
  }
  EXPECT_EQ(s::gui::IconDrawer::scaled(*icon, 13, 13), first);
  EXPECT_EQ(first->row(12)[0], 10);
  // Another size refills the same copy.
  EXPECT_EQ(s::gui::IconDrawer::scaled(*icon, 8, 8), first);
  EXPECT_EQ(first->width(), 8);
  EXPECT_EQ(first->row(7)[0], 99);
  // A picture of the box's size is drawn as it is.
  auto small = fixtures::solidPicture(13, {1, 2, 3, 255}, false);
  EXPECT_EQ(s::gui::IconDrawer::scaled(*small, 13, 13), small.get());
  EXPECT_EQ(small->scaledCopy(), nullptr);
}

TEST(IconDrawerTest, DrawsIntoTheIconBox) {
  auto cell = fixtures::solidPicture(40, {200, 200, 200, 255}, false);
  auto icon = fixtures::solidPicture(16, {0, 0, 255, 128}, true);  // half-transparent red
  const CellLayout layout = CellLayout::of({0, 0, 40, 18}, 0, {.icon = true});
  s::gui::IconDrawer::draw(*icon, *cell, layout.icon);
  const uint8_t* inside = cell->pixel(layout.icon.left, layout.icon.top);
  EXPECT_EQ(inside[2], 200 + ((55 * 128) >> 8));
  EXPECT_EQ(inside[0], 200 + ((-200 * 128) >> 8));
  EXPECT_EQ(cell->pixel(layout.icon.left - 1, layout.icon.top)[0], 200);
  EXPECT_EQ(cell->pixel(layout.icon.right, layout.icon.top)[0], 200);
  EXPECT_EQ(cell->pixel(layout.icon.left, layout.icon.bottom)[0], 200);
}

// A running program found through its desktop entry, and the module and picture forms,
// from the UTF-16 sources the list cells hold.
class IconSourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string root = dir_.path();
    fs::create_directories(root + "/bin");
    fs::copy_file("/bin/sleep", root + "/bin/nvicon-tool");
    fs::copy_file("/bin/sleep", root + "/bin/nvicon-plain");
    dir_.write("data/applications/nvicon-tool.desktop",
               text("[Desktop Entry]\nType=Application\nExec=" + root +
                    "/bin/nvicon-tool\nIcon=nvicon-tool\n"));
    dir_.write("data/icons/hicolor/index.theme",
               text("[Icon Theme]\nDirectories=16x16/apps\n[16x16/apps]\nSize=16\n"));
    dir_.write("data/icons/hicolor/16x16/apps/nvicon-tool.png",
               fixtures::png(16, 16, fixtures::PngKind::Rgba, gradient));
    // Only the environment of this test program: the process-wide finder reads it once.
    setenv("XDG_DATA_DIRS", (root + "/data").c_str(), 1);
    setenv("XDG_DATA_HOME", (root + "/home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
  }
  void TearDown() override {
    for (pid_t pid : started_) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  }

  static fixtures::ByteVector text(const std::string& s) { return {s.begin(), s.end()}; }
  static Bgra gradient(int x, int y) {
    // Detailed enough for a PNG of more than 100 bytes.
    return {static_cast<uint8_t>(x * 16), static_cast<uint8_t>(y * 16),
            static_cast<uint8_t>(x * y * 7), 255};
  }

  // The kernel's path of a started copy of the program.
  std::u16string running(const std::string& name) {
    const std::string program = dir_.path() + "/bin/" + name;
    char* argv[] = {const_cast<char*>(name.c_str()), const_cast<char*>("30"), nullptr};
    pid_t pid = 0;
    EXPECT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ), 0);
    started_.push_back(pid);
    const std::string link = "/proc/" + std::to_string(pid) + "/exe";
    char exe[PATH_MAX];
    for (int i = 0; i < 1000; ++i) {
      const ssize_t n = readlink(link.c_str(), exe, sizeof exe - 1);
      if (n > 0 && std::string(exe, static_cast<size_t>(n)) == program) {
        return {program.begin(), program.end()};  // ASCII paths
      }
      usleep(1000);
    }
    return {};
  }

  fixtures::TempDir dir_;
  std::vector<pid_t> started_;
};
TEST_F(IconSourceTest, ProgramsModulesAndPictures) {
  const std::u16string tool = running("nvicon-tool");
  ASSERT_FALSE(tool.empty());
  auto icon = s::image::util::loadIconSource(tool + u",0");
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->width(), 16);
  EXPECT_EQ(icon->pixel(15, 3)[0], 240);
  EXPECT_EQ(icon->pixel(15, 3)[1], 48);
  // No entry and no generic icon in this theme: no picture.
  EXPECT_FALSE(s::image::util::loadIconSource(running("nvicon-plain") + u",0"));
  EXPECT_FALSE(s::image::util::loadIconSource(u",0"));
  EXPECT_FALSE(s::image::util::loadIconSource(tool + u",x"));

  // A module whose name is not ASCII, named in UTF-16.
  dir_.write("Pr\xC3\xB6gramm.EXE",
             fixtures::peModule({{{16, 16, 32, fixtures::iconBitmap(16, 16, 32, gradient)}}}));
  const std::string root = dir_.path();
  const std::u16string module = std::u16string(root.begin(), root.end()) + u"/Pr\u00F6gramm.EXE,0";
  auto fromModule = s::image::util::loadIconSource(module);
  ASSERT_TRUE(fromModule);
  EXPECT_EQ(fromModule->pixel(15, 3)[0], 240);
}

}  // namespace

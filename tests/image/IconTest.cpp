#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "image/IcoDecoder.h"
#include "image/IconEntry.h"
#include "image/IconLoader.h"
#include "image/MemoryByteSource.h"
#include "image/PeResources.h"
#include "tests/image/Fixtures.h"

namespace {

using fixtures::Bgra;
using s::image::IconEntry;

constexpr Bgra kRed{0, 0, 255, 255};
constexpr Bgra kGreen{0, 255, 0, 255};
constexpr Bgra kBlue{255, 0, 0, 255};

IconEntry entry(int width, int height, int bits) {
  IconEntry e;
  e.width = static_cast<uint8_t>(width);
  e.height = static_cast<uint8_t>(height);
  e.bitCount = static_cast<uint16_t>(bits);
  return e;
}

TEST(ChooseIconEntry, BestEntryRule) {
  struct Case {
    const char* name;
    std::vector<IconEntry> entries;
    int chosen;
  };
  const Case cases[] = {
      {"exact 16x16x32 at once", {entry(16, 16, 8), entry(16, 16, 32), entry(32, 32, 32)}, 1},
      {"nearest area: 32x32 beats 48x48", {entry(32, 32, 4), entry(48, 48, 32)}, 0},
      {"8x8 is nearer to 256 than 24x24", {entry(24, 24, 32), entry(8, 8, 32)}, 1},
      {"same area: nearer bit count", {entry(16, 16, 4), entry(16, 16, 24), entry(16, 16, 8)}, 1},
      {"full tie keeps the earlier", {entry(32, 32, 8), entry(32, 32, 8)}, 0},
      {"a stored 0 counts as 0", {entry(0, 0, 32), entry(32, 32, 32)}, 0},
      {"single entry", {entry(48, 48, 4)}, 0},
      {"empty", {}, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(s::image::chooseIconEntry(c.entries, 16, 16, 32), c.chosen);
  }
}

Bgra topLeft(const s::image::ImageCache& image) {
  const uint8_t* p = image.pixel(0, 0);
  return {p[0], p[1], p[2], p[3]};
}

TEST(IcoFiles, ChosenEntryOfEachKindDecodes) {
  // 16x16 at 8 bits (red), 16x16 at 32 bits as PNG (green), 32x32 at 32 bits (blue).
  const auto ico = fixtures::ico({
      {16, 16, 8, fixtures::iconBitmap(16, 16, 8, fixtures::solid(kRed))},
      {16, 16, 32, fixtures::png(16, 16, fixtures::PngKind::Rgba, fixtures::solid(kGreen))},
      {32, 32, 32, fixtures::iconBitmap(32, 32, 32, fixtures::solid(kBlue))},
  });
  auto image = s::image::decodePicture(ico);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width(), 16);
  EXPECT_EQ(topLeft(*image), kGreen);

  // Without the exact entry, the nearer area wins: the 8-bit bitmap.
  const auto noExact = fixtures::ico({
      {32, 32, 32, fixtures::iconBitmap(32, 32, 32, fixtures::solid(kBlue))},
      {16, 16, 8, fixtures::iconBitmap(16, 16, 8, fixtures::solid(kRed))},
  });
  image = s::image::decodePicture(noExact);
  ASSERT_TRUE(image);
  EXPECT_EQ(topLeft(*image), kRed);
  EXPECT_FALSE(image->hasAlpha());  // an all-clear AND mask
}

TEST(IcoFiles, AndMaskAndAlphaChannel) {
  // A ring of transparent pixels around an opaque centre.
  const auto ring = [](int x, int y) {
    const bool edge = x == 0 || y == 0 || x == 15 || y == 15;
    return edge ? Bgra{0, 0, 0, 0} : Bgra{10, 20, 30, 255};
  };
  for (int bits : {4, 8, 24}) {
    SCOPED_TRACE(bits);
    auto image = s::image::IcoDecoder::decodeEntry(fixtures::iconBitmap(16, 16, bits, ring));
    ASSERT_TRUE(image);
    EXPECT_TRUE(image->hasAlpha());
    EXPECT_EQ(image->pixel(0, 0)[3], 0);
    EXPECT_EQ(image->pixel(15, 7)[3], 0);
    EXPECT_EQ(topLeft(*image).a, 0);
    const uint8_t* centre = image->pixel(5, 5);
    EXPECT_EQ((Bgra{centre[0], centre[1], centre[2], centre[3]}), (Bgra{10, 20, 30, 255}));
  }
  // 32 bits with a real alpha channel: the channel counts, not the mask.
  const auto soft = [](int x, int) { return Bgra{1, 2, 3, static_cast<uint8_t>(x * 16)}; };
  auto image = s::image::IcoDecoder::decodeEntry(fixtures::iconBitmap(16, 16, 32, soft));
  ASSERT_TRUE(image);
  EXPECT_TRUE(image->hasAlpha());
  EXPECT_EQ(image->pixel(3, 9)[3], 48);
}

TEST(IcoFiles, EntriesOutsideTheFileAreLeftOut) {
  auto ico = fixtures::ico({
      {16, 16, 32, fixtures::iconBitmap(16, 16, 32, fixtures::solid(kRed))},
      {32, 32, 32, fixtures::iconBitmap(32, 32, 32, fixtures::solid(kBlue))},
  });
  ico[6 + 11] = 0xF0;  // the exact entry's size now runs past the end
  std::vector<IconEntry> entries;
  ASSERT_TRUE(s::image::IcoDecoder::readDirectory(ico, entries));
  ASSERT_EQ(entries.size(), 1u);
  auto image = s::image::IcoDecoder::decode(ico);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width(), 32);
}

class ModuleIcons : public ::testing::Test {
 protected:
  void SetUp() override {
    // Group 0: 32x32 (blue) and the exact 16x16 at 32 bits (red). Group 1: a PNG (green).
    module_ = dir_.write(
        "Tool.EXE",
        fixtures::peModule({
            {{32, 32, 32, fixtures::iconBitmap(32, 32, 32, fixtures::solid(kBlue))},
             {16, 16, 32, fixtures::iconBitmap(16, 16, 32, fixtures::solid(kRed))}},
            {{24, 24, 32, fixtures::png(24, 24, fixtures::PngKind::Rgb, fixtures::solid(kGreen))}},
        }));
  }
  fixtures::TempDir dir_;
  std::string module_;
};

TEST_F(ModuleIcons, GroupsCountFromZero) {
  auto first = s::image::loadIcon(module_ + ",0");
  ASSERT_TRUE(first);
  EXPECT_EQ(first->width(), 16);
  EXPECT_EQ(topLeft(*first), kRed);
  auto second = s::image::loadIcon(module_ + ",1");
  ASSERT_TRUE(second);
  EXPECT_EQ(second->width(), 24);
  EXPECT_EQ(topLeft(*second), kGreen);
  EXPECT_FALSE(s::image::loadIcon(module_ + ",2"));
  EXPECT_FALSE(s::image::loadIcon(module_ + ",-1"));
  // Text that is not a number counts as 0.
  EXPECT_TRUE(s::image::loadIcon(module_ + ",icon"));
}

TEST_F(ModuleIcons, ModuleFormParsing) {
  struct Case {
    const char* source;
    bool module;
    const char* path;
    long index;
  };
  const Case cases[] = {
      {"C:/x/app.exe,3", true, "C:/x/app.exe", 3},
      {"/a/LIB.DLL, 12abc", true, "/a/LIB.DLL", 12},
      {"/a.dll,/b.exe,1", true, "/a.dll", 0},       // ".dll," wins over a later ".exe,"
      {"/a.exe,1.dll,2", true, "/a.exe,1.dll", 2},  // the last ".dll,"
      {"/a.exe,/b.exe,4", true, "/a.exe,/b.exe", 4},
      {"/usr/bin/sleep,0", false, "", 0},
      {"/p/icon.ico", false, "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    std::string path;
    long index = -7;
    ASSERT_EQ(s::image::parseModuleSource(c.source, path, index), c.module);
    if (c.module) {
      EXPECT_EQ(path, c.path);
      EXPECT_EQ(index, c.index);
    }
  }
}

TEST_F(ModuleIcons, MissingIconResourcesAndBrokenModules) {
  // Group 0 names icons 1 and 2; only icon 1 (32x32) is in the module.
  const auto partial =
      fixtures::peModule({{{32, 32, 32, fixtures::iconBitmap(32, 32, 32, fixtures::solid(kBlue))},
                           {16, 16, 32, fixtures::iconBitmap(16, 16, 32, fixtures::solid(kRed))}}},
                         {2});
  s::image::MemoryByteSource source(partial);
  s::image::PeResources resources(source);
  ASSERT_TRUE(resources.open());
  EXPECT_EQ(resources.groupIconCount(), 1);
  std::vector<IconEntry> entries;
  ASSERT_TRUE(resources.iconGroup(0, entries));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].width, 32);

  const auto none = fixtures::peModule(
      {{{16, 16, 32, fixtures::iconBitmap(16, 16, 32, fixtures::solid(kRed))}}}, {1});
  EXPECT_FALSE(s::image::loadIcon(dir_.write("none.dll", none) + ",0"));

  // Cut anywhere, the module gives no picture and reads nothing past its end.
  const auto whole =
      fixtures::peModule({{{16, 16, 32, fixtures::iconBitmap(16, 16, 32, fixtures::solid(kRed))}}});
  for (size_t keep : {0x0, 0x40, 0x150, 0x210, 0x290, 0x400}) {
    SCOPED_TRACE(keep);
    fixtures::ByteVector cut(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(keep));
    EXPECT_FALSE(s::image::loadIcon(dir_.write("cut.exe", cut) + ",0"));
  }
  EXPECT_FALSE(s::image::loadIcon(dir_.write("text.exe", {'h', 'i'}) + ",0"));
  EXPECT_FALSE(s::image::loadIcon(dir_.path() + "/absent.exe,0"));
  std::filesystem::create_directory(dir_.path() + "/folder.exe");
  EXPECT_FALSE(s::image::loadIcon(dir_.path() + "/folder.exe,0"));
}

}  // namespace

#include <gtest/gtest.h>

#include "gui/widgets/Font.h"
#include "platform/ui/DesktopScale.h"

namespace {

using s::gui::win::Font;

struct SizeCase {
  std::int32_t code;
  bool applied;
  std::int32_t points;
  std::int32_t weight;
};

class SizeCodes : public testing::TestWithParam<SizeCase> {};

TEST_P(SizeCodes, GiveTheirPointSizeAndWeight) {
  const SizeCase& c = GetParam();
  auto font = Font::make();
  font->setSizeCode(3);  // 13 points, to see what an ignored code leaves
  EXPECT_EQ(font->setSizeCode(c.code), c.applied);
  EXPECT_EQ(font->getPointSize(), c.points);
  EXPECT_EQ(font->getWeight(), c.weight);
  EXPECT_EQ(font->getSizeCode(), c.applied ? c.code : 3);
  EXPECT_EQ(pango_font_description_get_weight(font->description()), c.weight);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SizeCodes,
    testing::Values(SizeCase{-2, true, 8, 400}, SizeCase{0, true, 10, 400},
                    SizeCase{99, true, 109, 400}, SizeCase{100001, true, 8, 400},
                    SizeCase{100, true, 14, 700}, SizeCase{102, true, 16, 700},
                    SizeCase{-104, true, 10, 700}, SizeCase{999, true, 113, 700},
                    SizeCase{5000, false, 13, 400}, SizeCase{1000, false, 13, 400},
                    SizeCase{-1000, false, 13, 400}));

TEST(FontTest, StartsAtTenPointsInTheDesktopsSansFace) {
  auto font = Font::make();
  EXPECT_EQ(font->getHeight(), -13);
  EXPECT_EQ(font->getPointSize(), 10);
  EXPECT_EQ(font->getFace(), "Sans");
  EXPECT_STREQ(pango_font_description_get_family(font->description()), "Sans");
  EXPECT_EQ(pango_font_description_get_size(font->description()), 13 * PANGO_SCALE);
  EXPECT_FALSE(font->hasColour());
  EXPECT_EQ(font->getBackColour(), 0xEEEEEEU);
  EXPECT_GT(font->measureHeight(), 8);
}

TEST(FontTest, AnExplicitSizeOutlivesSizeCodesWhichStillSetTheWeight) {
  auto font = Font::make();
  font->setHeight(-20);
  font->setSizeCode(102);
  EXPECT_EQ(font->getHeight(), -20);
  EXPECT_EQ(font->getWeight(), 700);
  font->reset();
  font->setPointSize(12);
  font->setSizeCode(-2);
  EXPECT_EQ(font->getPointSize(), 12);
  font->reset();
  font->setSizeCode(-2);
  EXPECT_EQ(font->getHeight(), -11);
  const std::int32_t small = font->measureHeight();
  font->setSizeCode(102);
  EXPECT_GT(font->measureHeight(), small);
}

}  // namespace

namespace {

// Heights are given at 96 dpi: at one and a half times and twice that, the text is laid out
// that much larger, and a font made before the change follows it.
TEST(FontTest, FollowsTheDesktopsScale) {
  using s::platform::ui::DesktopScale;
  // Back to 1 however the test ends, for the tests after it.
  struct Restore {
    ~Restore() { DesktopScale::setFactor(1.0); }
  } restore;
  auto font = Font::make();
  const std::int32_t normal = font->measureHeight();
  for (const double factor : {1.5, 2.0}) {
    DesktopScale::setFactor(factor);
    EXPECT_EQ(pango_font_description_get_size(font->description()),
              static_cast<int>(13 * factor * PANGO_SCALE));
    EXPECT_EQ(font->getHeight(), -13);
    EXPECT_EQ(font->getPointSize(), 10);
    EXPECT_NEAR(font->measureHeight(), normal * factor, factor + 1);
  }
  DesktopScale::setFactor(1.0);
  EXPECT_EQ(font->measureHeight(), normal);
}

}  // namespace

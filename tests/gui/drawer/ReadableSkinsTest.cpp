#include <gtest/gtest.h>

#include <cairo.h>

#include <array>
#include <cstdint>
#include <string>

#include "gui/drawer/Contrast.h"
#include "gui/drawer/IButton.h"
#include "gui/drawer/IListHeader.h"
#include "gui/drawer/IMenu.h"
#include "gui/drawer/IScrollBar.h"
#include "gui/drawer/Skinner.h"
#include "tests/gui/drawer/Canvas.h"

namespace {

using s::gui::drawer::ISkin;
using s::gui::drawer::Rgb;
using s::gui::drawer::Skinner;
using s::platform::ui::Rect;
namespace contrast = s::gui::drawer::contrast;
using fixtures::Canvas;

// What text and glyphs must reach on their ground, and a pressed surface against the plain one.
constexpr double kTextMinimum = 4.5;
constexpr double kGlyphMinimum = 3.0;
constexpr double kPressedMinimum = 1.5;
// A caption that covers its pixels: the ink shows unblended in the middle of the blocks.
constexpr std::u16string_view kSolidText = u"\u2588\u2588\u2588";

TEST(ContrastTest, RatiosOfKnownPairs) {
  EXPECT_NEAR(contrast::ratio(0x000000, 0xFFFFFF), 21.0, 1e-9);
  EXPECT_NEAR(contrast::ratio(0xFFFFFF, 0x000000), 21.0, 1e-9);
  EXPECT_NEAR(contrast::ratio(0x5785FF, 0x5785FF), 1.0, 1e-9);
  // The grey that just misses the text threshold on white, and the one that just makes it.
  EXPECT_NEAR(contrast::ratio(0x777777, 0xFFFFFF), 4.48, 0.01);
  EXPECT_NEAR(contrast::ratio(0x767676, 0xFFFFFF), 4.54, 0.01);
}

TEST(ContrastTest, TheFirstCandidateThatReadsOrTheFirstOneShaded) {
  const std::array<Rgb, 3> candidates = {0x5785FF, 0xC2DFFF, 0x000000};
  EXPECT_EQ(contrast::readableOn(0xFFFFFF, candidates, 3.0), 0x5785FFU);
  EXPECT_EQ(contrast::readableOn(0xFFFFFF, candidates, 4.5), 0x000000U);
  EXPECT_EQ(contrast::readableOn(0x5785FF, candidates, 1.5), 0xC2DFFFU);
  // Nothing of a pale rose scheme reads on its salmon: its rose, darkened just enough.
  const std::array<Rgb, 2> rose = {0xFFBDCB, 0xFFFFFF};
  const Rgb shade = contrast::readableOn(0xFF305C, rose, 4.5);
  EXPECT_GE(contrast::ratio(shade, 0xFF305C), 4.5);
  EXPECT_LT(contrast::ratio(shade, 0xFF305C), 4.8);
  EXPECT_GT(shade >> 16, shade & 0xFF);  // still red before blue
  EXPECT_EQ(contrast::readableOn(0x123456, {}, 4.5), 0x123456U);
}

struct Reading {
  std::uint32_t ground;
  std::uint32_t ink;
};

enum class ButtonState { kPlain, kHover, kPressed };

Reading button(ISkin& skin, std::u16string_view caption, ButtonState state) {
  const bool glyph = caption.starts_with(u"#");
  const int width = glyph ? 22 : 60;
  Canvas canvas(width, 22);
  skin.getButton()->paintButton(canvas.cr(), {0, 0, width, 22},
                                state == ButtonState::kHover ? 1 : 0, caption, true, nullptr, true,
                                state == ButtonState::kPressed, false);
  const std::uint32_t ground = canvas.at(3, 3);
  return {ground, canvas.inkIn({2, 2, width - 4, 18}, ground)};
}

Reading headerText(ISkin& skin) {
  Canvas canvas(120, 20);
  skin.getListHeader()->paintHeader(canvas.cr(), {0, 0, 120, 20}, kSolidText, nullptr, 0, 1);
  const std::uint32_t ground = canvas.at(1, 1);
  return {ground, canvas.inkIn({0, 0, 90, 19}, ground)};
}

Reading headerArrow(ISkin& skin) {
  Canvas canvas(120, 20);
  skin.getListHeader()->paintHeader(canvas.cr(), {0, 0, 120, 20}, u"", nullptr, 0, -1);
  const std::uint32_t ground = canvas.at(1, 1);
  // Left of the column's closing line.
  return {ground, canvas.inkIn({100, 0, 18, 19}, ground)};
}

Reading scrollArrow(ISkin& skin) {
  Canvas canvas(18, 18);
  skin.getScrollBar()->paintArrow(canvas.cr(), {0, 0, 18, 18}, u"#Up", 0);
  const std::uint32_t ground = canvas.at(2, 2);
  return {ground, canvas.inkIn({2, 2, 14, 14}, ground)};
}

Reading highlightedMenuItem(ISkin& skin) {
  Canvas canvas(120, 20);
  skin.getMenu()->paintMenuItem(canvas.cr(), {0, 0, 120, 20}, kSolidText, nullptr,
                                {.highlighted = true, .enabled = true});

  const std::uint32_t ground = canvas.at(1, 1);
  return {ground, canvas.inkIn({0, 0, 120, 20}, ground)};
}

std::string hex(std::uint32_t colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%06X", colour);
  return text;
}

void expectReads(const char* what, const Reading& r, double minimum) {
  const double ratio = contrast::ratio(r.ink, r.ground);
  EXPECT_GE(ratio, minimum) << what << ": " << hex(r.ink) << " on " << hex(r.ground) << " is "
                            << ratio << " : 1";
}

class EveryScheme : public testing::TestWithParam<std::u16string_view> {};

TEST_P(EveryScheme, CaptionsGlyphsAndHeadersRead) {
  s::PoolPtr<Skinner> skinner(Skinner::newSkinner(GetParam()));
  ASSERT_GT(skinner->getSkinCount(), 0U);
  for (std::uint32_t i = 0; i < skinner->getSkinCount(); ++i) {
    ISkin& skin = *skinner->getSkin(i);
    const std::u16string_view name = skin.getName();
    SCOPED_TRACE(std::string(name.begin(), name.end()));
    const Reading plain = button(skin, kSolidText, ButtonState::kPlain);
    const Reading pressed = button(skin, kSolidText, ButtonState::kPressed);
    expectReads("caption", plain, kTextMinimum);
    expectReads("caption under the mouse", button(skin, kSolidText, ButtonState::kHover),
                kTextMinimum);
    expectReads("pressed caption", pressed, kTextMinimum);
    expectReads("glyph", button(skin, u"#Stop", ButtonState::kPlain), kGlyphMinimum);
    expectReads("glyph under the mouse", button(skin, u"#Stop", ButtonState::kHover),
                kGlyphMinimum);
    expectReads("pressed glyph", button(skin, u"#Stop", ButtonState::kPressed), kGlyphMinimum);
    EXPECT_GE(contrast::ratio(plain.ground, pressed.ground), kPressedMinimum)
        << "pressed " << hex(pressed.ground) << " against " << hex(plain.ground);
    expectReads("list header", headerText(skin), kTextMinimum);
    expectReads("sort arrow", headerArrow(skin), kGlyphMinimum);
    expectReads("scroll arrow", scrollArrow(skin), kGlyphMinimum);
    expectReads("highlighted menu item", highlightedMenuItem(skin), kTextMinimum);
  }
}

INSTANTIATE_TEST_SUITE_P(Families, EveryScheme, testing::Values(u"Thin", u"ThinWindow"),
                         [](const testing::TestParamInfo<std::u16string_view>& info) {
                           return std::string(info.param.begin(), info.param.end());
                         });

TEST(ReadableSkinsTest, TheHeaderTakesItsBackgroundFromTheScheme) {
  s::PoolPtr<Skinner> thin(Skinner::newSkinner(u"Thin"));
  ISkin& black = *thin->getSkin(static_cast<std::uint32_t>(thin->findSkin(u"Black")));
  const Reading dark = headerText(black);
  EXPECT_EQ(dark.ground, 0x333333U);
  EXPECT_EQ(dark.ink, 0xFFFFFFU);
  s::PoolPtr<Skinner> window(Skinner::newSkinner(u"ThinWindow"));
  ISkin& sky = *window->getSkin(static_cast<std::uint32_t>(window->findSkin(u"Sky Blue")));
  EXPECT_EQ(headerText(sky).ground, 0xC2DFFFU);
  // Where the scheme's own colours read they stay: Sky Blue's captions in its black text, its
  // pressed buttons on its light window surface.
  EXPECT_EQ(button(sky, kSolidText, ButtonState::kPlain).ink, 0x000000U);
  EXPECT_EQ(button(sky, kSolidText, ButtonState::kPressed).ground, 0xC2DFFFU);
  ISkin& ivory = *window->getSkin(static_cast<std::uint32_t>(window->findSkin(u"Ivory")));
  EXPECT_EQ(button(ivory, u"#Stop", ButtonState::kPlain).ink, 0x000000U);
  EXPECT_EQ(button(ivory, u"#Stop", ButtonState::kPressed).ink, 0xB0B0B0U);
}

}  // namespace

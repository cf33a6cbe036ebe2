#include <gtest/gtest.h>

#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

#include "gui/drawer/BrandPictures.h"
#include "gui/drawer/Glyphs.h"
#include "gui/drawer/TextLayout.h"
#include "gui/drawer/button/Basic.h"
#include "gui/drawer/button/Thin.h"
#include "gui/drawer/listbox/Basic.h"
#include "tests/gui/drawer/Canvas.h"

namespace {

using fixtures::Canvas;
using s::gui::drawer::Glyphs;
using s::gui::drawer::Rgb;
using s::gui::drawer::TextLayout;
using s::platform::ui::Rect;

TEST(GlyphsTest, KnowsTheNamedGlyphsAndColourSwatches) {
  EXPECT_EQ(Glyphs::names().size(), 36U);
  for (std::u16string_view name : Glyphs::names()) {
    if (name == u"#Color-") {
      continue;
    }
    Canvas canvas(18, 18);
    ASSERT_TRUE(Glyphs::draw(canvas.cr(), name, {0, 0, 18, 18}, 0x000000))
        << std::string(name.begin(), name.end());
    // Every glyph leaves a mark.
    EXPECT_LT(canvas.count(0xFFFFFF), 18 * 18) << std::string(name.begin(), name.end());
  }
  EXPECT_TRUE(Glyphs::isGlyph(u"#X"));
  EXPECT_TRUE(Glyphs::isGlyph(u"#\u25A1"));
  EXPECT_FALSE(Glyphs::isGlyph(u"X"));
  EXPECT_FALSE(Glyphs::isGlyph(u"#Nothing"));
  EXPECT_FALSE(Glyphs::isGlyph(u"#Color-"));
  Rgb swatch = 0;
  EXPECT_TRUE(Glyphs::swatchColour(u"#Color-12aB9f", swatch));
  EXPECT_EQ(swatch, 0x12AB9FU);
  EXPECT_FALSE(Glyphs::swatchColour(u"#Color-12AB9", swatch));
  EXPECT_FALSE(Glyphs::swatchColour(u"#Color-12AB9G", swatch));
  Canvas canvas(18, 18);
  EXPECT_FALSE(Glyphs::draw(canvas.cr(), u"#Nothing", {0, 0, 18, 18}, 0));
  EXPECT_TRUE(Glyphs::draw(canvas.cr(), u"#Color-FF0000", {0, 0, 18, 18}, 0));
  EXPECT_EQ(canvas.at(9, 9), 0xFF0000U);
}

TEST(ButtonDrawerTest, AHashCaptionShowsItsGlyphAndAPlainOneItsText) {
  auto drawer = s::gui::drawer::button::win::Thin::make();
  drawer->setColour(0, 0x111111);
  drawer->setColour(1, 0x747474);
  drawer->setFontColour(0, 0xFFFFFF);
  drawer->setFontColour(1, 0x111111);
  const Rect area{0, 0, 18, 18};
  const Rect inner{2, 2, 14, 14};
  Canvas glyph(18, 18);
  drawer->paintButton(glyph.cr(), area, 0, u"#X", true, nullptr, true, false, false);
  Canvas letter(18, 18);
  drawer->paintButton(letter.cr(), area, 0, u"X", true, nullptr, true, false, false);
  EXPECT_FALSE(glyph.samePixels(letter));

  // The same face and frame, then the close cross in the glyph ink or the letter in the
  // caption ink.
  Canvas expectGlyph(18, 18);
  Canvas expectLetter(18, 18);
  for (Canvas* c : {&expectGlyph, &expectLetter}) {
    cairo_set_source_rgb(c->cr(), 0x74 / 255.0, 0x74 / 255.0, 0x74 / 255.0);
    cairo_paint(c->cr());
    cairo_set_source_rgb(c->cr(), 0x11 / 255.0, 0x11 / 255.0, 0x11 / 255.0);
    cairo_rectangle(c->cr(), 0.5, 0.5, 17, 17);
    cairo_set_line_width(c->cr(), 1);
    cairo_stroke(c->cr());
  }
  Glyphs::draw(expectGlyph.cr(), u"#X", inner, 0x111111);
  TextLayout::paint(expectLetter.cr(), inner, u"X", nullptr, 0xFFFFFF, TextLayout::kCenter, false);
  EXPECT_TRUE(glyph.samePixels(expectGlyph));
  EXPECT_TRUE(letter.samePixels(expectLetter));
  // The cross reaches the corners of the inner area, where the letter does not.
  EXPECT_EQ(glyph.at(5, 5), 0x111111U);
  EXPECT_EQ(glyph.at(11, 11), 0x111111U);
  EXPECT_EQ(glyph.at(11, 5), 0x111111U);
  EXPECT_NE(letter.at(5, 5), 0x111111U);

  // An unknown name is a caption like any other.
  Canvas unknown(18, 18);
  drawer->paintButton(unknown.cr(), area, 0, u"#Nothing", true, nullptr, true, false, false);
  EXPECT_LT(unknown.count(0x747474), 18 * 18 - 4 * 17);
}

TEST(ButtonDrawerTest, PressedAndHoverLooksShowTheirSurfacesAndInks) {
  auto drawer = s::gui::drawer::button::win::Thin::make();
  drawer->setColour(0, 0x444444);
  drawer->setColour(1, 0x777777);
  drawer->setColour(2, 0x222222);
  drawer->setColour(3, 0x999999);
  drawer->setFontColour(1, 0x000000);
  drawer->setFontColour(3, 0xFFFFFF);
  auto paint = [&](Canvas& canvas, std::int32_t hotState, bool pressed) {
    drawer->paintButton(canvas.cr(), {0, 0, 18, 18}, hotState, u"#_", true, nullptr, true, pressed,
                        false);
  };
  Canvas up(18, 18);
  paint(up, 0, false);
  Canvas down(18, 18);
  paint(down, 0, true);
  Canvas hover(18, 18);
  paint(hover, 1, false);
  Canvas held(18, 18);
  paint(held, 2, false);
  EXPECT_EQ(up.at(3, 3), 0x777777U);
  EXPECT_EQ(down.at(3, 3), 0x222222U);
  EXPECT_EQ(hover.at(3, 3), 0x999999U);
  EXPECT_TRUE(held.samePixels(down));
  // The minimize bar near the bottom: the glyph ink, on the pressed surface its own.
  EXPECT_EQ(up.at(8, 11), 0x000000U);
  EXPECT_EQ(hover.at(8, 11), 0x000000U);
  EXPECT_EQ(down.at(8, 11), 0xFFFFFFU);
  // Without a skin the plain look starts from the face colour of the desktop.
  auto plain = s::gui::drawer::button::win::Basic::make();
  Canvas basic(18, 18);
  plain->paintButton(basic.cr(), {0, 0, 18, 18}, 0, u"", true, nullptr, true, false, false);
  EXPECT_EQ(basic.at(9, 9), 0xF0F0F0U);
}

// True when the first `width` × `height` pixels of both canvases are the same.
bool sameCorner(Canvas& a, Canvas& b, int width, int height) {
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (a.at(x, y) != b.at(x, y)) {
        return false;
      }
    }
  }
  return true;
}

TEST(TextLayoutTest, ATextTooLongForItsAreaEndsInAnEllipsis) {
  const std::u16string text = u"Collecting Information..";
  const TextLayout::Size whole = TextLayout::measure(text, nullptr, 0);
  const Rect narrow{0, 0, whole.width / 2, whole.height};
  Canvas cut(whole.width + 40, whole.height);
  TextLayout::paint(cut.cr(), narrow, text, nullptr, 0x000000, TextLayout::kLeft, false);
  // Exactly the painting of some beginning of the text followed by "…", with room to spare.
  int matches = 0;
  for (std::size_t n = 1; n < text.size(); ++n) {
    const std::u16string shortened = text.substr(0, n) + u"\u2026";
    if (TextLayout::measure(shortened, nullptr, 0).width > narrow.width) {
      break;
    }
    Canvas expected(whole.width + 40, whole.height);
    TextLayout::paint(expected.cr(), {0, 0, whole.width + 40, whole.height}, shortened, nullptr,
                      0x000000, TextLayout::kLeft, false);
    matches += sameCorner(cut, expected, whole.width + 40, whole.height) ? 1 : 0;
  }
  EXPECT_EQ(matches, 1);
  // A text that fits is painted whole, wrapped or not.
  Canvas fits(whole.width + 40, whole.height);
  TextLayout::paint(fits.cr(), {0, 0, whole.width + 1, whole.height}, text, nullptr, 0x000000,
                    TextLayout::kLeft, true);
  Canvas wide(whole.width + 40, whole.height);
  TextLayout::paint(wide.cr(), {0, 0, whole.width + 40, whole.height}, text, nullptr, 0x000000,
                    TextLayout::kLeft, false);
  EXPECT_TRUE(fits.samePixels(wide));
}

// The columns of ink (darker than light grey: smoothing leaves faint fringes) in the canvas: the
// leftmost and one past the rightmost.
std::pair<int, int> inkColumns(Canvas& canvas, int width, int height) {
  int left = width;
  int right = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = canvas.at(x, y);
      if (((p >> 16) & 0xFF) < 0xC0 || ((p >> 8) & 0xFF) < 0xC0 || (p & 0xFF) < 0xC0) {
        left = std::min(left, x);
        right = std::max(right, x + 1);
      }
    }
  }
  return {left, right};
}

// Right-to-left and CJK texts keep to the area and to its alignment as Latin ones do: pango
// lays a right-to-left line out from the right of the width it is given, which the painter
// must not add to its own alignment.
TEST(TextLayoutTest, EveryScriptKeepsToTheAlignmentAndToTheArea) {
  constexpr int kWidth = 320;
  constexpr int kSlack = 4;
  const std::u16string_view texts[] = {
      u"example.org", u"\u0645\u0648\u0642\u0639.\u0645\u062B\u0627\u0644",
      u"\u30C6\u30AD\u30B9\u30C8", u"abc \u05E9\u05DC\u05D5\u05DD 42"};
  for (std::u16string_view text : texts) {
    const TextLayout::Size size = TextLayout::measure(text, nullptr, 0);
    // The ink's columns once painted into `area`; they must lie inside it.
    auto painted = [&](const Rect& area, std::int32_t align) {
      Canvas canvas(kWidth, size.height);
      TextLayout::paint(canvas.cr(), area, text, nullptr, 0x000000, align, false);
      const auto columns = inkColumns(canvas, kWidth, size.height);
      EXPECT_LT(columns.first, columns.second) << "nothing painted, alignment " << align;
      EXPECT_GE(columns.first, area.x);
      EXPECT_LE(columns.second, area.x + area.width);
      return columns;
    };
    const Rect wide{60, 0, 200, size.height};
    for (std::int32_t align : {TextLayout::kLeft, TextLayout::kCenter, TextLayout::kRight}) {
      const int expectedLeft = align == TextLayout::kLeft ? wide.x
                               : align == TextLayout::kRight
                                   ? wide.x + wide.width - size.width
                                   : wide.x + (wide.width - size.width) / 2;
      EXPECT_NEAR(painted(wide, align).first, expectedLeft, kSlack) << "alignment " << align;
    }
    // Too narrow for the text: what is painted stays inside, shortened rather than lost.
    const Rect narrow{60, 0, size.width * 2 / 3, size.height};
    for (std::int32_t align : {TextLayout::kLeft, TextLayout::kRight}) {
      const auto [left, right] = painted(narrow, align);
      EXPECT_GT(right - left, narrow.width / 2);
    }
  }
}

TEST(ListDrawerTest, APlainListStartsWithWhiteRowsBlackTextAndGreyStripes) {
  auto list = s::gui::drawer::listbox::win::Basic::make();
  EXPECT_EQ(list->getBackground(), 0xFFFFFFU);
  EXPECT_EQ(list->getText(), 0x000000U);
  EXPECT_EQ(list->getStripe(), 0xEEEEEEU);
  list->setColours(1, 2, 3, 4, 5);
  list->reset();
  EXPECT_EQ(list->getStripe(), 0xEEEEEEU);
  EXPECT_EQ(list->getBackground(), 0xFFFFFFU);
}

// Reads the size from a JPEG's start-of-frame segment.
bool jpegSize(std::span<const std::uint8_t> bytes, int& width, int& height) {
  if (bytes.size() < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8) {
    return false;
  }
  std::size_t at = 2;
  while (at + 9 < bytes.size()) {
    if (bytes[at] != 0xFF) {
      return false;
    }
    const std::uint8_t marker = bytes[at + 1];
    const std::size_t length = (bytes[at + 2] << 8) | bytes[at + 3];
    if (marker >= 0xC0 && marker <= 0xC2) {
      height = (bytes[at + 5] << 8) | bytes[at + 6];
      width = (bytes[at + 7] << 8) | bytes[at + 8];
      return true;
    }
    at += 2 + length;
  }
  return false;
}

TEST(BrandPicturesTest, BothPicturesAreEmbeddedJpegsOfTheirSize) {
  int width = 0;
  int height = 0;
  ASSERT_TRUE(jpegSize(s::gui::drawer::BrandPictures::jpeg(131), width, height));
  EXPECT_EQ(width, 700);
  EXPECT_EQ(height, 230);
  ASSERT_TRUE(jpegSize(s::gui::drawer::BrandPictures::jpeg(132), width, height));
  EXPECT_EQ(width, 230);
  EXPECT_EQ(height, 700);
  EXPECT_TRUE(s::gui::drawer::BrandPictures::jpeg(130).empty());
}

}  // namespace

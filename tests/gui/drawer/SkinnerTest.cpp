#include <gtest/gtest.h>

#include <cairo.h>

#include <array>
#include <memory>
#include <string>

#include "gui/drawer/Skinner.h"
#include "gui/drawer/TextLayout.h"
#include "gui/layout/Window.h"
#include "platform/offscreen/OffscreenDisplay.h"
#include "platform/ui/Surfaces.h"

namespace {

using s::gui::drawer::ISkin;
using s::gui::drawer::Rgb;
using s::gui::drawer::Skinner;
using s::gui::drawer::TextLayout;
namespace surfaces = s::platform::ui::surfaces;

TEST(SkinnerTest, EachFamilyHasItsSchemesInTheirOrder) {
  const std::array<std::u16string_view, 13> thin = {
      u"White",  u"Light Gray", u"Black",  u"Ivory", u"Sky Blue", u"Pink",      u"Green",
      u"Green2", u"Yellow",     u"Orange", u"Khaki", u"Indigo",   u"Salmon Red"};
  const std::array<std::u16string_view, 16> window = {
      u"White",      u"Ivory",  u"Black",    u"Black II", u"Black Black", u"Black Black II",
      u"Classic LG", u"Beige",  u"Sky Blue", u"Pink",     u"Salmon Red",  u"Yellow",
      u"Green",      u"Orange", u"Khaki",    u"Indigo"};
  s::PoolPtr<Skinner> a(Skinner::newSkinner(u"Thin"));
  s::PoolPtr<Skinner> b(Skinner::newSkinner(u"ThinWindow"));
  ASSERT_EQ(a->getSkinCount(), thin.size());
  ASSERT_EQ(b->getSkinCount(), window.size());
  for (std::uint32_t i = 0; i < thin.size(); ++i) {
    EXPECT_EQ(a->getSkinName(i), thin[i]);
    EXPECT_EQ(a->getSkin(i)->getName(), thin[i]);
    EXPECT_EQ(a->findSkin(thin[i]), static_cast<std::int32_t>(i));
  }
  for (std::uint32_t i = 0; i < window.size(); ++i) {
    EXPECT_EQ(b->getSkinName(i), window[i]);
    EXPECT_EQ(b->findSkin(window[i]), static_cast<std::int32_t>(i));
  }
  EXPECT_EQ(a->findSkin(u"Classic LG"), -1);
  EXPECT_EQ(b->findSkin(u"classic lg"), -1);
  EXPECT_EQ(a->getSkin(13), nullptr);
  EXPECT_TRUE(a->getSkinName(99).empty());
  s::PoolPtr<Skinner> none(Skinner::newSkinner(u"Round"));
  EXPECT_EQ(none->getSkinCount(), 0U);
  // Every slot of every skin is filled.
  for (Skinner* skinner : {a.get(), b.get()}) {
    for (std::uint32_t i = 0; i < skinner->getSkinCount(); ++i) {
      ISkin* skin = skinner->getSkin(i);
      EXPECT_TRUE(skin->getBorder() && skin->getWindow() && skin->getText() && skin->getButton() &&
                  skin->getCheckBox() && skin->getRadioButton() && skin->getScrollBar() &&
                  skin->getCounter() && skin->getSlider() && skin->getListBox() &&
                  skin->getListHeader() && skin->getMenu() && skin->getStatusBar() &&
                  skin->getGroupBox() && skin->getTabBox());
    }
  }
}

// One list row painted by a skin's list drawer, with a solid-block text in the colour the
// drawer gives it: the row's background and text colours as they reach the pixels.
struct RowPixels {
  std::uint32_t background;
  std::uint32_t text;
};

RowPixels paintRow(ISkin* skin, std::uint32_t row, bool striped, bool selected) {
  cairo_surface_t* surface = surfaces::makeImage(120, 20);
  cairo_t* cr = cairo_create(surface);
  const Rgb ink = skin->getListBox()->paintRow(cr, {0, 0, 120, 20}, row, striped, selected);
  TextLayout::paint(cr, {40, 0, 80, 20}, u"\u2588\u2588\u2588", nullptr, ink, TextLayout::kLeft,
                    false);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  const RowPixels pixels{surfaces::pixelAt(surface, 5, 10), surfaces::pixelAt(surface, 48, 10)};
  cairo_surface_destroy(surface);
  return pixels;
}

struct ListCase {
  std::u16string_view family;
  std::u16string_view scheme;
  std::uint32_t row;
  bool striped;
  bool selected;
  std::uint32_t background;
  std::uint32_t text;
};

class SkinListColours : public testing::TestWithParam<ListCase> {};

TEST_P(SkinListColours, RowsShowTheSchemesColours) {
  const ListCase& c = GetParam();
  s::PoolPtr<Skinner> skinner(Skinner::newSkinner(c.family));
  const std::int32_t at = skinner->findSkin(c.scheme);
  ASSERT_GE(at, 0);
  const RowPixels pixels =
      paintRow(skinner->getSkin(static_cast<std::uint32_t>(at)), c.row, c.striped, c.selected);
  EXPECT_EQ(pixels.background, c.background);
  EXPECT_EQ(pixels.text, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Schemes, SkinListColours,
    testing::Values(
        // ThinWindow "Classic LG": text #BFBFBF on #313131, selected #FFFFFF on #191919, odd
        // striped rows #383838; an even row stays unstriped, an odd one without striping too.
        ListCase{u"ThinWindow", u"Classic LG", 0, true, false, 0x313131, 0xBFBFBF},
        ListCase{u"ThinWindow", u"Classic LG", 1, false, false, 0x313131, 0xBFBFBF},
        ListCase{u"ThinWindow", u"Classic LG", 2, false, true, 0x191919, 0xFFFFFF},
        ListCase{u"ThinWindow", u"Classic LG", 1, true, false, 0x383838, 0xBFBFBF},
        ListCase{u"ThinWindow", u"Classic LG", 3, true, true, 0x191919, 0xFFFFFF},
        // Thin "White": selected #FFFFFF on #444444, odd rows #F3F3F3.
        ListCase{u"Thin", u"White", 4, true, true, 0x444444, 0xFFFFFF},
        ListCase{u"Thin", u"White", 5, true, false, 0xF3F3F3, 0x000000},
        ListCase{u"Thin", u"White", 6, true, false, 0xFFFFFF, 0x000000}));

TEST(SkinnerTest, SchemesGiveTheirColoursToEveryDrawer) {
  s::PoolPtr<Skinner> window(Skinner::newSkinner(u"ThinWindow"));
  ISkin* lg = window->getSkin(static_cast<std::uint32_t>(window->findSkin(u"Classic LG")));
  EXPECT_EQ(lg->getBorder()->getColour(0), 0x111111U);
  EXPECT_EQ(lg->getBorder()->getColour(1), 0x747474U);
  EXPECT_EQ(lg->getWindow()->getColour(0), 0x111111U);
  EXPECT_EQ(lg->getWindow()->getColour(1), 0x565656U);
  EXPECT_EQ(lg->getWindow()->getColour(3), 0x191919U);
  EXPECT_EQ(lg->getWindow()->getFontColour(0), 0xFFFFFFU);
  EXPECT_EQ(lg->getText()->getFontColour(0), 0xFFFFFFU);
  EXPECT_EQ(lg->getText()->getColour(2), 0x333333U);
  EXPECT_EQ(lg->getButton()->getColour(0), 0x111111U);
  EXPECT_EQ(lg->getButton()->getColour(1), 0x747474U);
  EXPECT_EQ(lg->getCounter()->getColour(0), 0xC3EA00U);
  EXPECT_EQ(lg->getCounter()->getColour(1), 0x191919U);
  EXPECT_EQ(lg->getSlider()->getFontColour(0), 0xFFFFFFU);
  EXPECT_EQ(lg->getMenu()->getColour(2), 0x747474U);
  EXPECT_EQ(lg->getStatusBar()->getColour(1), 0x111111U);
  EXPECT_EQ(lg->getGroupBox()->getColour(0), 0x111111U);

  s::PoolPtr<Skinner> thin(Skinner::newSkinner(u"Thin"));
  ISkin* khaki = thin->getSkin(static_cast<std::uint32_t>(thin->findSkin(u"Khaki")));
  EXPECT_EQ(khaki->getBorder()->getColour(0), 0x92B941U);
  EXPECT_EQ(khaki->getBorder()->getColour(1), 0x3E5C00U);
  EXPECT_EQ(khaki->getScrollBar()->getColour(1), 0xDD8702U);
  EXPECT_EQ(khaki->getCounter()->getColour(0), 0xDD8702U);
  EXPECT_EQ(khaki->getCounter()->getColour(1), 0xFFA500U);
  EXPECT_EQ(khaki->getMenu()->getColour(0), 0xFFFFFFU);
  EXPECT_EQ(khaki->getMenu()->getColour(2), 0x3E5C00U);
  // The text colour reaches the fonts of the drawers that write.
  EXPECT_EQ(khaki->getListHeader()->getFontColour(0), 0xFFFFFFU);
  EXPECT_EQ(khaki->getStatusBar()->getFontColour(0), 0xFFFFFFU);
  EXPECT_EQ(khaki->getWindow()->getFontColour(0), 0xFFFFFFU);
}

TEST(SkinnerTest, ListenersHearTheChosenSkin) {
  struct Heard : s::gui::events::IEventListener {
    std::int32_t code = -1;
    void onEvent(s::IObject* /*source*/, std::int32_t c) override { code = c; }
  } heard;
  s::PoolPtr<Skinner> skinner(Skinner::newSkinner(u"Thin"));
  skinner->addListener(&heard);
  skinner->select(99);
  EXPECT_EQ(heard.code, -1);
  skinner->select(3);
  EXPECT_EQ(heard.code, 3);
  skinner->removeListener(&heard);
  skinner->select(4);
  EXPECT_EQ(heard.code, 3);
}

class WindowSkinTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    s::gui::win::Window::setDisplayFactory(
        [] { return std::make_unique<s::platform::offscreen::OffscreenDisplay>(); });
  }
  s::platform::offscreen::OffscreenDisplay& screen(s::gui::win::Window& w) {
    return *dynamic_cast<s::platform::offscreen::OffscreenDisplay*>(w.display());
  }
};

TEST_F(WindowSkinTest, ASkinTakesTheFrameAwayAndPaintsTheWindow) {
  auto window = s::gui::win::Window::make();
  window->show(false);
  s::PoolPtr<Skinner> skinner(Skinner::newSkinner(u"ThinWindow"));
  ISkin* lg = skinner->getSkin(static_cast<std::uint32_t>(skinner->findSkin(u"Classic LG")));
  window->setSkin(lg, false);
  std::uint32_t edge = 0;
  std::uint32_t surface = 0;
  bool decorated = true;
  auto look = [&] {
    window->runSync([] {});
    window->runSync([&] {
      const auto id = window->platformWindow();
      decorated = screen(*window).state(id)->decorated;
      edge = screen(*window).pixel(id, 0, 60);
      surface = screen(*window).pixel(id, 120, 60);
    });
  };
  look();
  EXPECT_FALSE(decorated);
  EXPECT_EQ(edge, 0x111111U);
  EXPECT_EQ(surface, 0x747474U);

  // An owned skin goes back to its pool when replaced; none brings the desktop's frame back.
  window->setSkin(Skinner::makeSkin(u"Thin", u"Mine",
                                    std::array<Rgb, 6>{0x102030, 0x405060, 0, 0, 0, 0}.data(), 6)
                      .release(),
                  true);
  look();
  EXPECT_EQ(surface, 0x102030U);
  EXPECT_EQ(edge, 0x405060U);
  window->setSkin(nullptr, false);
  look();
  EXPECT_TRUE(decorated);
  EXPECT_EQ(window->getSkin(), nullptr);
  EXPECT_EQ(Skinner::makeSkin(u"Thin", u"Short", nullptr, 5), nullptr);
}

}  // namespace

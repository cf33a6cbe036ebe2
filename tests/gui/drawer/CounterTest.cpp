#include <gtest/gtest.h>

#include <cairo.h>

#include <array>

#include "gui/drawer/counter/Thin.h"
#include "gui/widgets/CounterData.h"
#include "platform/ui/Surfaces.h"

namespace {

using s::gui::counter::CounterData;
namespace surfaces = s::platform::ui::surfaces;

// The length of the bar mode 1 draws in a 100-pixel wide graph, read from the pixels.
int barLength(CounterData& first) {
  auto drawer = s::gui::drawer::counter::win::Thin::make();
  drawer->setColour(0, 0xC3EA00);
  cairo_surface_t* surface = surfaces::makeImage(120, 10);
  cairo_t* cr = cairo_create(surface);
  drawer->paintGraph(cr, {10, 2, 100, 6}, 1, &first, nullptr, false);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  int length = 0;
  while (length < 110 && surfaces::pixelAt(surface, 10 + length, 4) == 0xC3EA00) {
    ++length;
  }
  EXPECT_EQ(surfaces::pixelAt(surface, 9, 4), 0xFFFFFFU);
  cairo_surface_destroy(surface);
  return length;
}

TEST(CounterDrawerTest, TheBarIsScaledByTheLargestEarlierPointAboveTheFloor) {
  auto series = CounterData::make();
  series->setUnbounded(true);
  series->setScaleFloor(1024);
  series->prepare();
  series->add(300);
  series->add(1000);
  series->add(512);
  EXPECT_EQ(barLength(*series), 50);
  series->add(2048);
  series->add(700);
  series->add(512);
  EXPECT_EQ(barLength(*series), 25);
  // The current point is not part of the scale: above it the bar runs past the graph.
  series->add(4096);
  EXPECT_EQ(barLength(*series), 110);
  series->add(0);
  EXPECT_EQ(barLength(*series), 0);
}

TEST(CounterDrawerTest, ColumnsStandOnTheBottomWithTheLatestPointAtTheRight) {
  auto series = CounterData::make();
  series->prepare();  // bounded, maximum 100
  series->add(0);
  series->add(50);
  series->add(100);  // the point before the current one: at the right edge
  series->add(1);    // the current point, not drawn
  auto drawer = s::gui::drawer::counter::win::Thin::make();
  cairo_surface_t* surface = surfaces::makeImage(20, 10);
  cairo_t* cr = cairo_create(surface);
  drawer->paintGraph(cr, {0, 0, 20, 10}, 0, series.get(), nullptr, false);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  const std::uint32_t ink = drawer->getColour(0);
  // x = 19: 100 → the full 10 pixels; x = 18: 50 → 5 pixels; x = 17: base → nothing.
  EXPECT_EQ(surfaces::pixelAt(surface, 19, 0), ink);
  EXPECT_EQ(surfaces::pixelAt(surface, 18, 4), 0xFFFFFFU);
  EXPECT_EQ(surfaces::pixelAt(surface, 18, 5), ink);
  EXPECT_EQ(surfaces::pixelAt(surface, 17, 9), 0xFFFFFFU);
  cairo_surface_destroy(surface);
}

TEST(CounterDrawerTest, CentredColumnsThinMarksAndColourChoices) {
  auto first = CounterData::make();
  first->prepare();
  first->add(0);
  first->add(100);  // the point before the current one: the full 20 pixels
  first->add(0);
  auto second = CounterData::make();
  second->prepare();
  second->add(0);
  second->add(50);
  second->add(0);
  auto drawer = s::gui::drawer::counter::win::Thin::make();
  drawer->setColour(0, 0x111111);
  drawer->setColour(1, 0x222222);
  auto paint = [&](bool thin, bool swap, bool own) {
    first->setThinMarks(thin);
    first->setOwnColour(own);
    cairo_surface_t* surface = surfaces::makeImage(10, 20);
    cairo_t* cr = cairo_create(surface);
    drawer->paintGraph(cr, {0, 0, 10, 20}, 2, first.get(), second.get(), swap);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    std::array<std::uint32_t, 4> at = {
        surfaces::pixelAt(surface, 9, 0), surfaces::pixelAt(surface, 9, 7),
        surfaces::pixelAt(surface, 9, 10), surfaces::pixelAt(surface, 8, 10)};
    cairo_surface_destroy(surface);
    return at;
  };
  // Full column of the first series, the second's 10 pixels centred over it.
  EXPECT_EQ(paint(false, false, false),
            (std::array<std::uint32_t, 4>{0x111111, 0x222222, 0x222222, 0xFFFFFF}));
  // Marks at both ends only (the second series still full), colours exchanged.
  EXPECT_EQ(paint(true, true, false),
            (std::array<std::uint32_t, 4>{0x222222, 0x111111, 0x111111, 0xFFFFFF}));
  first->setColour(0x00FF00);
  EXPECT_EQ(paint(true, false, true)[0], 0x00FF00U);
  EXPECT_EQ(paint(true, false, true)[1], 0x222222U);
}

}  // namespace

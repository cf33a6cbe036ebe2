#include "gui/drawer/counter/CounterDrawer.h"

#include <algorithm>
#include <mutex>

#include "gui/drawer/Shapes.h"

namespace s::gui::drawer::counter {

CounterDrawer::CounterDrawer() {
  setDefaults({0x2E8B57, 0xFFA500, 0x000000, 0}, {0, 0, 0, 0}, true);
}

std::int64_t CounterDrawer::scaled(std::int64_t point, std::int64_t base, std::int64_t size,
                                   std::int64_t range) {
  if (range <= 0) {
    return 0;
  }
  return static_cast<std::int64_t>(static_cast<double>((point - base) * size) /
                                   static_cast<double>(range));
}

void CounterDrawer::paintGraph(cairo_t* cr, const Rect& area, std::int32_t mode,
                               IGraphSeries* first, IGraphSeries* second, bool swapColours) {
  if (area.empty()) {
    return;
  }
  if (!isTransparent()) {
    shapes::fill(cr, area, getColour(2));
  }
  if (first == nullptr) {
    return;
  }
  Rgb colour1 = swapColours ? getColour(1) : getColour(0);
  Rgb colour2 = swapColours ? getColour(0) : getColour(1);
  const auto w = static_cast<std::uint32_t>(area.width);
  std::int64_t scale = 0;
  {
    std::lock_guard<thread::ObjLocker> hold(first->lock());
    colour1 = first->hasOwnColour() ? first->getColour() : colour1;
    // The bar measures the current point against the points before it; columns include it.
    scale = mode == 1 ? first->fullScale(1, w) : first->fullScale(0, w);
    if (mode == 1) {
      paintBar(cr, area, *first, scale, colour1);
    } else {
      paintColumns(cr, area, mode == 2, *first, scale, colour1);
    }
  }
  if (second != nullptr) {
    std::lock_guard<thread::ObjLocker> hold(second->lock());
    colour2 = second->hasOwnColour() ? second->getColour() : colour2;
    const std::int64_t scale2 = first->isUnbounded() ? scale : second->getMaximum();
    if (mode == 1) {
      paintBar(cr, area, *second, scale2, colour2);
    } else {
      paintColumns(cr, area, mode == 2, *second, scale2, colour2);
    }
  }
}

void CounterDrawer::paintBar(cairo_t* cr, const Rect& area, IGraphSeries& series,
                             std::int64_t scale, Rgb colour) {
  const std::int64_t length =
      scaled(series.pointBack(0), series.getBase(), area.width, scale - series.getBase());
  if (length <= 0) {
    return;
  }
  // A point above the scale runs past the rectangle; the clip of the component ends it.
  shapes::fill(cr, {area.x, area.y, static_cast<std::int32_t>(length), area.height}, colour);
}

void CounterDrawer::paintColumns(cairo_t* cr, const Rect& area, bool centred, IGraphSeries& series,
                                 std::int64_t scale, Rgb colour) {
  const std::int64_t base = series.getBase();
  const std::int64_t range = scale - base;
  const std::uint32_t count =
      std::min(static_cast<std::uint32_t>(area.width), series.size() > 0 ? series.size() - 1 : 0);
  constexpr std::int32_t kMark = 5;
  setSource(cr, colour);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::int64_t point = series.pointBack(i + 1);
    std::int64_t height = scaled(point, base, area.height, range);
    if (point > base) {
      height = std::max<std::int64_t>(height, 1);
    }
    if (height <= 0) {
      continue;
    }
    const auto h = static_cast<std::int32_t>(std::min<std::int64_t>(height, area.height));
    const std::int32_t x = area.x + area.width - 1 - static_cast<std::int32_t>(i);
    const std::int32_t top = centred ? area.y + (area.height - h) / 2 : area.y + area.height - h;
    if (!series.hasThinMarks()) {
      cairo_rectangle(cr, x, top, 1, h);
    } else if (centred) {
      cairo_rectangle(cr, x, top, 1, std::min(kMark, h));
      cairo_rectangle(cr, x, top + h - std::min(kMark, h), 1, std::min(kMark, h));
    } else {
      cairo_rectangle(cr, x, top, 1, std::min(kMark, h));
    }
  }
  cairo_fill(cr);
}

}  // namespace s::gui::drawer::counter

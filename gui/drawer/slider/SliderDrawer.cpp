#include "gui/drawer/slider/SliderDrawer.h"

#include <algorithm>

#include "gui/drawer/Shapes.h"

namespace s::gui::drawer::slider {

SliderDrawer::SliderDrawer() {
  setDefaults({0x606060, 0x3584E4, 0, 0}, {0x000000, 0, 0, 0}, true);
}

void SliderDrawer::paintSlider(cairo_t* cr, const Rect& area, double position, bool vertical,
                               std::int32_t hotState) {
  position = std::clamp(position, 0.0, 1.0);
  const std::int32_t knob = 8;
  if (vertical) {
    const std::int32_t x = area.x + area.width / 2 - 2;
    const Rect track{x, area.y, 4, area.height};
    const std::int32_t at =
        area.y + static_cast<std::int32_t>((1.0 - position) * (area.height - knob));
    shapes::fill(cr, {x, at, 4, area.y + area.height - at}, getColour(1));
    thin() ? shapes::frame(cr, track, getColour(0)) : shapes::bevel(cr, track, true);
    const Rect thumb{area.x, at, area.width, knob};
    shapes::fill(cr, thumb, hotState > 0 ? getColour(1) : shapes::kFace);
    thin() ? shapes::frame(cr, thumb, getColour(0)) : shapes::bevel(cr, thumb, false);
  } else {
    const std::int32_t y = area.y + area.height / 2 - 2;
    const Rect track{area.x, y, area.width, 4};
    const std::int32_t at = area.x + static_cast<std::int32_t>(position * (area.width - knob));
    shapes::fill(cr, {area.x, y, at - area.x, 4}, getColour(1));
    thin() ? shapes::frame(cr, track, getColour(0)) : shapes::bevel(cr, track, true);
    const Rect thumb{at, area.y, knob, area.height};
    shapes::fill(cr, thumb, hotState > 0 ? getColour(1) : shapes::kFace);
    thin() ? shapes::frame(cr, thumb, getColour(0)) : shapes::bevel(cr, thumb, false);
  }
}

}  // namespace s::gui::drawer::slider

#include "gui/drawer/statusbar/StatusBarDrawer.h"

#include "gui/drawer/Shapes.h"

namespace s::gui::drawer::statusbar {

StatusBarDrawer::StatusBarDrawer() {
  setDefaults({0x000000, 0xA0A0A0, 0, 0}, {0x000000, 0, 0, 0}, true);
}

void StatusBarDrawer::paintStatusBar(cairo_t* cr, const Rect& area) {
  if (!isTransparent()) {
    shapes::fill(cr, area, shapes::kFace);
  }
  if (thin()) {
    shapes::fill(cr, {area.x, area.y, area.width, shapes::line()}, getColour(1));
  } else {
    const std::int32_t line = shapes::line();
    shapes::fill(cr, {area.x, area.y, area.width, line}, shapes::kShadow);
    shapes::fill(cr, {area.x, area.y + line, area.width, line}, shapes::kLight);
  }
}

}  // namespace s::gui::drawer::statusbar

#include "gui/drawer/radiobutton/RadioButtonDrawer.h"

#include <algorithm>
#include <numbers>

#include "gui/drawer/Shapes.h"
#include "gui/drawer/TextLayout.h"

namespace s::gui::drawer::radiobutton {

RadioButtonDrawer::RadioButtonDrawer() {
  setDefaults({0x333333, 0xE5F1FB, 0, 0}, {0x000000, 0, 0, 0}, true);
}

void RadioButtonDrawer::paintRadioButton(cairo_t* cr, const Rect& area, std::u16string_view text,
                                         const IFont* font, bool selected, bool enabled,
                                         std::int32_t hotState) {
  const std::int32_t side = std::min(shapes::px(13), area.height);
  const std::int32_t gap = shapes::px(4);
  const double cx = area.x + side / 2.0;
  const double cy = area.y + area.height / 2.0;
  cairo_arc(cr, cx, cy, (side - shapes::line()) / 2.0, 0, 2 * std::numbers::pi);
  setSource(cr, hotState > 0 ? getColour(1) : shapes::kWindow);
  cairo_fill_preserve(cr);
  setSource(cr, thin() ? getColour(0) : shapes::kShadow);
  cairo_set_line_width(cr, shapes::line());
  cairo_stroke(cr);
  const Rgb ink = enabled ? getFontColour(0) : shapes::kGrayText;
  if (selected) {
    cairo_arc(cr, cx, cy, side / 4.0, 0, 2 * std::numbers::pi);
    setSource(cr, thin() ? getColour(0) : ink);
    cairo_fill(cr);
  }
  TextLayout::paint(cr, {area.x + side + gap, area.y, area.width - side - gap, area.height}, text,
                    font, TextLayout::inkOf(font, ink), TextLayout::kLeft, false);
}

}  // namespace s::gui::drawer::radiobutton

#include "gui/drawer/Shapes.h"

namespace s::gui::drawer::shapes {

using platform::ui::Rect;

void fill(cairo_t* cr, const Rect& area, Rgb colour) {
  if (area.empty()) {
    return;
  }
  setSource(cr, colour);
  cairo_rectangle(cr, area.x, area.y, area.width, area.height);
  cairo_fill(cr);
}

void frame(cairo_t* cr, const Rect& area, Rgb colour) {
  if (area.empty()) {
    return;
  }
  setSource(cr, colour);
  cairo_set_line_width(cr, 1.0);
  // Half-pixel positions keep the line on whole pixels.
  cairo_rectangle(cr, area.x + 0.5, area.y + 0.5, area.width - 1.0, area.height - 1.0);
  cairo_stroke(cr);
}

void bevel(cairo_t* cr, const Rect& area, bool sunken) {
  if (area.empty()) {
    return;
  }
  const double left = area.x + 0.5;
  const double top = area.y + 0.5;
  const double right = area.x + area.width - 0.5;
  const double bottom = area.y + area.height - 0.5;
  cairo_set_line_width(cr, 1.0);
  setSource(cr, sunken ? kShadow : kLight);
  cairo_move_to(cr, left, bottom);
  cairo_line_to(cr, left, top);
  cairo_line_to(cr, right, top);
  cairo_stroke(cr);
  setSource(cr, sunken ? kLight : kDarkShadow);
  cairo_move_to(cr, right, top);
  cairo_line_to(cr, right, bottom);
  cairo_line_to(cr, left, bottom);
  cairo_stroke(cr);
}

Rect inset(const Rect& area, int by) {
  return {area.x + by, area.y + by, area.width - 2 * by, area.height - 2 * by};
}

}  // namespace s::gui::drawer::shapes

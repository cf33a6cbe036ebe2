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
  const double width = line();
  cairo_set_line_width(cr, width);
  // Lines centred half their width inside keep to whole pixels.
  cairo_rectangle(cr, area.x + width / 2, area.y + width / 2, area.width - width,
                  area.height - width);
  cairo_stroke(cr);
}

void bevel(cairo_t* cr, const Rect& area, bool sunken) {
  if (area.empty()) {
    return;
  }
  const double width = line();
  const double left = area.x + width / 2;
  const double top = area.y + width / 2;
  const double right = area.x + area.width - width / 2;
  const double bottom = area.y + area.height - width / 2;
  cairo_set_line_width(cr, width);
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

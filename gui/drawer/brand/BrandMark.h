#pragma once

#include <cairo.h>

#include <algorithm>
#include <numbers>

namespace s::gui::drawer {

// The program's mark, a magnifier over a link, centred at (cx, cy) with the ring's radius r.
// For the small program icons the lines stay at least `minLine` wide.
inline void drawBrandMark(cairo_t* cr, double cx, double cy, double r, double minLine = 0) {
  cairo_set_line_width(cr, std::max(r * 0.16, minLine));
  cairo_set_source_rgb(cr, 0.76, 0.92, 0.0);
  cairo_arc(cr, cx, cy, r, 0, 2 * std::numbers::pi);
  cairo_stroke(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, std::max(r * 0.16, minLine * 1.2));
  cairo_move_to(cr, cx + r * 0.72, cy + r * 0.72);
  cairo_line_to(cr, cx + r * 1.45, cy + r * 1.45);
  cairo_stroke(cr);
  cairo_set_line_width(cr, std::max(r * 0.1, minLine * 0.8));
  cairo_set_source_rgb(cr, 1.0, 0.65, 0.0);
  cairo_move_to(cr, cx - r * 0.55, cy + r * 0.2);
  cairo_line_to(cr, cx - r * 0.15, cy - r * 0.3);
  cairo_line_to(cr, cx + r * 0.2, cy + r * 0.15);
  cairo_line_to(cr, cx + r * 0.55, cy - r * 0.35);
  cairo_stroke(cr);
}

}  // namespace s::gui::drawer

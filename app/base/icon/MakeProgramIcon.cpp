// Draws the program's icon at the sizes a desktop asks for and writes one PNG file per size:
// make_program_icon <folder>, giving <folder>/Netvigil<size>.png. The results are kept in the
// tree, compiled into the program and installed into the icon theme; run this again only to
// change the artwork.
#include <cairo.h>

#include <cstdio>
#include <numbers>
#include <string>

#include "app/base/ProgramIcon.h"
#include "gui/drawer/brand/BrandMark.h"

namespace {

void roundedSquare(cairo_t* cr, double x, double y, double size, double radius) {
  const double pi = std::numbers::pi;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + size - radius, y + radius, radius, -pi / 2, 0);
  cairo_arc(cr, x + size - radius, y + size - radius, radius, 0, pi / 2);
  cairo_arc(cr, x + radius, y + size - radius, radius, pi / 2, pi);
  cairo_arc(cr, x + radius, y + radius, radius, pi, 3 * pi / 2);
  cairo_close_path(cr);
}

cairo_surface_t* icon(int size) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
  cairo_t* cr = cairo_create(surface);
  const double s = size;
  // The dark tile of the brand pictures, filling small icons to the edge.
  const double inset = size <= 16 ? 0 : s * 0.04;
  roundedSquare(cr, inset, inset, s - 2 * inset, s * 0.18);
  cairo_pattern_t* tile = cairo_pattern_create_linear(0, 0, s, s);
  cairo_pattern_add_color_stop_rgb(tile, 0, 0.16, 0.16, 0.16);
  cairo_pattern_add_color_stop_rgb(tile, 1, 0.30, 0.32, 0.28);
  cairo_set_source(cr, tile);
  cairo_fill(cr);
  cairo_pattern_destroy(tile);
  // Lines of at least 1.6 pixels, so that the mark reads at 16 pixels.
  s::gui::drawer::drawBrandMark(cr, s * 0.42, s * 0.42, s * 0.25, 1.6);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  return surface;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_program_icon <folder>\n");
    return 2;
  }
  bool ok = true;
  for (int size : s::app::win::ProgramIcon::kSizes) {
    cairo_surface_t* surface = icon(size);
    const std::string path = std::string(argv[1]) + "/Netvigil" + std::to_string(size) + ".png";
    ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS && ok;
    cairo_surface_destroy(surface);
  }
  return ok ? 0 : 1;
}

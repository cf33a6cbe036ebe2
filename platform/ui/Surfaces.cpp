#include "platform/ui/Surfaces.h"

#include <cstring>

namespace s::platform::ui::surfaces {

cairo_surface_t* makeImage(int width, int height) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_destroy(cr);
  return surface;
}

void copyInto(cairo_surface_t* from, cairo_surface_t* to) {
  cairo_t* cr = cairo_create(to);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, from, 0, 0);
  cairo_rectangle(cr, 0, 0, cairo_image_surface_get_width(from),
                  cairo_image_surface_get_height(from));
  cairo_fill(cr);
  cairo_destroy(cr);
  cairo_surface_flush(to);
}

std::uint32_t pixelAt(cairo_surface_t* surface, int x, int y) {
  if (surface == nullptr || x < 0 || y < 0 || x >= cairo_image_surface_get_width(surface) ||
      y >= cairo_image_surface_get_height(surface)) {
    return 0;
  }
  cairo_surface_flush(surface);
  const unsigned char* row =
      cairo_image_surface_get_data(surface) +
      static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(surface);
  std::uint32_t value = 0;
  std::memcpy(&value, row + static_cast<std::ptrdiff_t>(x) * 4, sizeof value);
  return value & 0xFFFFFFu;
}

}  // namespace s::platform::ui::surfaces

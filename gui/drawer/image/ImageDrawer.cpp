#include "gui/drawer/image/ImageDrawer.h"

#include <algorithm>

#include "gui/drawer/Shapes.h"

namespace s::gui::drawer::image {

ImageDrawer::ImageDrawer() {
  setDefaults({0xFFFFFF, 0, 0, 0}, {0, 0, 0, 0}, true);
}

void ImageDrawer::paintImage(cairo_t* cr, const Rect& area, cairo_surface_t* image,
                             bool keepRatio) {
  if (!isTransparent()) {
    shapes::fill(cr, area, getColour(0));
  }
  if (image == nullptr || area.empty()) {
    return;
  }
  const int width = cairo_image_surface_get_width(image);
  const int height = cairo_image_surface_get_height(image);
  if (width <= 0 || height <= 0) {
    return;
  }
  double sx = static_cast<double>(area.width) / width;
  double sy = static_cast<double>(area.height) / height;
  if (keepRatio) {
    sx = sy = std::min(sx, sy);
  }
  cairo_save(cr);
  cairo_rectangle(cr, area.x, area.y, area.width, area.height);
  cairo_clip(cr);
  cairo_translate(cr, area.x + (area.width - width * sx) / 2,
                  area.y + (area.height - height * sy) / 2);
  cairo_scale(cr, sx, sy);
  cairo_set_source_surface(cr, image, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_paint(cr);
  cairo_restore(cr);
  if (thin()) {
    shapes::frame(cr, area, getColour(1));
  }
}

}  // namespace s::gui::drawer::image

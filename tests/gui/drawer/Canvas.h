#pragma once

#include <cairo.h>

#include <cstdint>
#include <map>

#include "gui/drawer/Rgb.h"
#include "platform/ui/Rect.h"
#include "platform/ui/Surfaces.h"

namespace fixtures {

// A white image to paint into, compared pixel by pixel.
class Canvas {
 public:
  Canvas(int width, int height) : surface_(s::platform::ui::surfaces::makeImage(width, height)) {
    cr_ = cairo_create(surface_);
  }
  ~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  cairo_t* cr() { return cr_; }
  std::uint32_t at(int x, int y) {
    cairo_surface_flush(surface_);
    return s::platform::ui::surfaces::pixelAt(surface_, x, y);
  }
  bool samePixels(Canvas& other) {
    const int w = cairo_image_surface_get_width(surface_);
    const int h = cairo_image_surface_get_height(surface_);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        if (at(x, y) != other.at(x, y)) {
          return false;
        }
      }
    }
    return true;
  }
  int count(s::gui::drawer::Rgb colour) {
    int n = 0;
    for (int y = 0; y < cairo_image_surface_get_height(surface_); ++y) {
      for (int x = 0; x < cairo_image_surface_get_width(surface_); ++x) {
        n += at(x, y) == colour ? 1 : 0;
      }
    }
    return n;
  }
  // The commonest colour in the area other than `ground`: what was written there.
  std::uint32_t inkIn(const s::platform::ui::Rect& area, std::uint32_t ground) {
    std::map<std::uint32_t, int> counts;
    for (int y = area.y; y < area.y + area.height; ++y) {
      for (int x = area.x; x < area.x + area.width; ++x) {
        const std::uint32_t c = at(x, y);
        counts[c] += c != ground ? 1 : 0;
      }
    }
    std::uint32_t ink = ground;
    int most = 0;
    for (const auto& [colour, n] : counts) {
      if (n > most) {
        ink = colour;
        most = n;
      }
    }
    return ink;
  }

 private:
  cairo_surface_t* surface_;
  cairo_t* cr_ = nullptr;
};

}  // namespace fixtures

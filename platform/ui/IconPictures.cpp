#include "platform/ui/IconPictures.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace s::platform::ui::icons {

Surface toSurface(const IconPixels& icon) {
  if (icon.empty() || icon.argb.size() < static_cast<std::size_t>(icon.width) * icon.height) {
    return nullptr;
  }
  Surface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, icon.width, icon.height));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
    return nullptr;
  }
  cairo_surface_flush(surface.get());
  unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  for (int y = 0; y < icon.height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < icon.width; ++x) {
      const std::uint32_t p = icon.argb[static_cast<std::size_t>(y) * icon.width + x];
      const std::uint32_t a = p >> 24;
      auto times = [a](std::uint32_t c) { return (c * a + 127) / 255; };
      row[x] = (a << 24) | (times((p >> 16) & 0xFF) << 16) | (times((p >> 8) & 0xFF) << 8) |
               times(p & 0xFF);
    }
  }
  cairo_surface_mark_dirty(surface.get());
  return surface;
}

void paintFitted(cairo_t* cr, cairo_surface_t* picture, int width, int height) {
  const int w = cairo_image_surface_get_width(picture);
  const int h = cairo_image_surface_get_height(picture);
  if (w <= 0 || h <= 0 || width <= 0 || height <= 0) {
    return;
  }
  const double scale = std::min(static_cast<double>(width) / w, static_cast<double>(height) / h);
  cairo_save(cr);
  cairo_translate(cr, (width - w * scale) / 2, (height - h * scale) / 2);
  cairo_scale(cr, scale, scale);
  cairo_set_source_surface(cr, picture, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_paint(cr);
  cairo_restore(cr);
}

IconPixels scaled(const IconPixels& icon, int width, int height) {
  Surface picture = toSurface(icon);
  if (picture == nullptr || width <= 0 || height <= 0) {
    return {};
  }
  Surface target(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  cairo_t* cr = cairo_create(target.get());
  paintFitted(cr, picture.get(), width, height);
  cairo_destroy(cr);
  cairo_surface_flush(target.get());
  IconPixels out;
  out.width = width;
  out.height = height;
  out.argb.resize(static_cast<std::size_t>(width) * height);
  const unsigned char* data = cairo_image_surface_get_data(target.get());
  const int stride = cairo_image_surface_get_stride(target.get());
  for (int y = 0; y < height; ++y) {
    const auto* row =
        reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < width; ++x) {
      // Back from premultiplied.
      const std::uint32_t p = row[x];
      const std::uint32_t a = p >> 24;
      auto over = [a](std::uint32_t c) {
        return a == 0 ? 0 : std::min<std::uint32_t>(255, (c * 255 + a / 2) / a);
      };
      out.argb[static_cast<std::size_t>(y) * width + x] =
          (a << 24) | (over((p >> 16) & 0xFF) << 16) | (over((p >> 8) & 0xFF) << 8) |
          over(p & 0xFF);
    }
  }
  return out;
}

}  // namespace s::platform::ui::icons

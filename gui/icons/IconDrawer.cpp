#include "gui/icons/IconDrawer.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

#include "image/BilinearFilter.h"
#include "image/ImageBlender.h"
#include "image/ImageCache.h"

namespace s::gui {

namespace {

// cairo's 32-bit pixels are native-endian 0xAARRGGBB with premultiplied colour; ours are
// blue, green, red, alpha bytes with straight colour.
std::uint32_t toCairo(const std::uint8_t* p, bool alpha) {
  const std::uint32_t a = alpha ? p[3] : 255;
  auto times = [a](std::uint32_t c) { return (c * a + 127) / 255; };
  return a << 24 | times(p[2]) << 16 | times(p[1]) << 8 | times(p[0]);
}

void fromCairo(std::uint32_t v, bool alpha, std::uint8_t* p) {
  const std::uint32_t a = alpha ? v >> 24 : 255;
  auto divided = [a](std::uint32_t c) {
    return static_cast<std::uint8_t>(a == 0 ? 0 : (c * 255 + a / 2) / a);
  };
  p[0] = divided(v & 0xFF);
  p[1] = divided(v >> 8 & 0xFF);
  p[2] = divided(v >> 16 & 0xFF);
  p[3] = static_cast<std::uint8_t>(a);
}

// The picture as a cairo surface; null when cairo cannot make one.
cairo_surface_t* surfaceOf(const image::IImageBuffer& picture) {
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, picture.width(), picture.height());
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  cairo_surface_flush(surface);
  std::uint8_t* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int r = 0; r < picture.height(); ++r) {
    const std::uint8_t* in = picture.row(r);
    std::uint8_t* out = data + static_cast<std::ptrdiff_t>(r) * stride;
    for (int c = 0; c < picture.width(); ++c, in += 4, out += 4) {
      const std::uint32_t v = toCairo(in, picture.hasAlpha());
      std::memcpy(out, &v, 4);
    }
  }
  cairo_surface_mark_dirty(surface);
  return surface;
}

// What the target holds under the box, when cairo draws onto its pixels one to one; empty
// otherwise. Pixels beyond the target's edge stay transparent (the clip drops them anyway).
PoolPtr<image::ImageCache> beneath(cairo_t* cr, const CellBox& box) {
  cairo_surface_t* target = cairo_get_group_target(cr);
  if (cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_IMAGE) {
    return {};
  }
  const cairo_format_t format = cairo_image_surface_get_format(target);
  if (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24) {
    return {};
  }
  cairo_matrix_t m;
  cairo_get_matrix(cr, &m);
  double offsetX = 0;
  double offsetY = 0;
  cairo_surface_get_device_offset(target, &offsetX, &offsetY);
  const double left = m.x0 + offsetX + box.left;
  const double top = m.y0 + offsetY + box.top;
  if (m.xx != 1 || m.yy != 1 || m.xy != 0 || m.yx != 0 || left != std::floor(left) ||
      top != std::floor(top)) {
    return {};
  }
  PoolPtr<image::ImageCache> pixels = image::ImageCache::create(box.width(), box.height());
  if (!pixels) {
    return {};
  }
  const bool alpha = format == CAIRO_FORMAT_ARGB32;
  pixels->setHasAlpha(alpha);
  cairo_surface_flush(target);
  const std::uint8_t* data = cairo_image_surface_get_data(target);
  const int stride = cairo_image_surface_get_stride(target);
  const int width = cairo_image_surface_get_width(target);
  const int height = cairo_image_surface_get_height(target);
  const int x0 = static_cast<int>(left);
  const int y0 = static_cast<int>(top);
  for (int r = 0; r < box.height(); ++r) {
    std::uint8_t* out = pixels->row(r);
    std::memset(out, 0, static_cast<std::size_t>(pixels->rowBytes()));
    const int y = y0 + r;
    if (y < 0 || y >= height) {
      continue;
    }
    for (int c = 0; c < box.width(); ++c, out += 4) {
      const int x = x0 + c;
      if (x >= 0 && x < width) {
        std::uint32_t v = 0;
        std::memcpy(&v, data + static_cast<std::ptrdiff_t>(y) * stride + x * 4, 4);
        fromCairo(v, alpha, out);
      }
    }
  }
  return pixels;
}

// Paints the picture at the box with `op`, within the clip.
void paintAt(cairo_t* cr, const image::IImageBuffer& picture, const CellBox& box,
             cairo_operator_t op) {
  cairo_surface_t* surface = surfaceOf(picture);
  if (surface == nullptr) {
    return;
  }
  cairo_save(cr);
  cairo_set_operator(cr, op);
  cairo_set_source_surface(cr, surface, box.left, box.top);
  cairo_rectangle(cr, box.left, box.top, box.width(), box.height());
  cairo_fill(cr);
  cairo_restore(cr);
  cairo_surface_destroy(surface);
}

}  // namespace

image::IImageBuffer* IconDrawer::scaled(image::IImageBuffer& picture, int width, int height) {
  if (picture.width() == width && picture.height() == height) {
    return &picture;
  }
  image::IImageBuffer* copy = picture.scaledCopy();
  if (copy != nullptr && copy->width() == width && copy->height() == height) {
    return copy;
  }
  if (copy == nullptr) {
    PoolPtr<image::IImageBuffer> made = picture.newImage(width, height);
    if (made == nullptr) {
      return nullptr;
    }
    copy = made.get();
    picture.setScaledCopy(std::move(made));
  } else {
    if (!copy->ensureCapacity(width, height)) {
      return nullptr;
    }
    copy->setSize(width, height);
  }
  image::filters::scale::BilinearFilter::instance().scale(picture, *copy);
  return copy;
}

void IconDrawer::draw(image::IImageBuffer& picture, image::IImageBuffer& target,
                      const CellBox& box) {
  if (box.empty() || box.height() <= 0) {
    return;
  }
  image::IImageBuffer* shown = scaled(picture, box.width(), box.height());
  if (shown != nullptr) {
    image::ImageBlender::draw(*shown, target, box.left, box.top);
  }
}

void IconDrawer::draw(image::IImageBuffer& picture, cairo_t* cr, const CellBox& box) {
  if (box.empty() || box.height() <= 0) {
    return;
  }
  PoolPtr<image::ImageCache> cell = beneath(cr, box);
  if (cell) {
    // Blended here, then put back as it stands: what the clip lets through is replaced.
    draw(picture, *cell, {0, 0, box.width(), box.height()});
    paintAt(cr, *cell, box, CAIRO_OPERATOR_SOURCE);
    return;
  }
  image::IImageBuffer* shown = scaled(picture, box.width(), box.height());
  if (shown != nullptr) {
    paintAt(cr, *shown, box, CAIRO_OPERATOR_OVER);
  }
}

}  // namespace s::gui

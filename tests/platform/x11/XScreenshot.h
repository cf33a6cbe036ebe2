#pragma once

#include <cairo.h>

#include <string>

// Xlib's macros clash with gtest's names: include this after gtest.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace s::testing {

// Reads a part of the screen as the X server shows it and writes it as a PNG file.
inline bool screenshot(Display* display, int x, int y, int width, int height,
                       const std::string& path) {
  XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (image == nullptr) {
    return false;
  }
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int row = 0; row < height; ++row) {
    auto* line = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(row) * stride);
    for (int column = 0; column < width; ++column) {
      line[column] = static_cast<std::uint32_t>(XGetPixel(image, column, row)) & 0xFFFFFFu;
    }
  }
  cairo_surface_mark_dirty(surface);
  XDestroyImage(image);
  const bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return written;
}

// The colour (0xRRGGBB) the screen shows at (x, y).
inline std::uint32_t screenPixel(Display* display, int x, int y) {
  XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, 1, 1, AllPlanes, ZPixmap);
  if (image == nullptr) {
    return 0;
  }
  const auto pixel = static_cast<std::uint32_t>(XGetPixel(image, 0, 0)) & 0xFFFFFFu;
  XDestroyImage(image);
  return pixel;
}

}  // namespace s::testing

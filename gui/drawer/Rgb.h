#pragma once

#include <cairo.h>

#include <cstdint>

namespace s::gui::drawer {

// A colour as 0xRRGGBB, the form of the colour scheme tables.
using Rgb = std::uint32_t;

constexpr Rgb rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return (static_cast<Rgb>(red) << 16) | (static_cast<Rgb>(green) << 8) | blue;
}

inline void setSource(cairo_t* cr, Rgb colour) {
  cairo_set_source_rgb(cr, ((colour >> 16) & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0,
                       (colour & 0xFF) / 255.0);
}

// Halfway between two colours (hover shades).
constexpr Rgb mix(Rgb a, Rgb b) {
  auto half = [](Rgb x, Rgb y, int shift) {
    return ((((x >> shift) & 0xFF) + ((y >> shift) & 0xFF)) / 2) << shift;
  };
  return half(a, b, 16) | half(a, b, 8) | half(a, b, 0);
}

}  // namespace s::gui::drawer

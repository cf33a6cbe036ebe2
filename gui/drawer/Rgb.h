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

// `part` of `parts` of the way from one colour to another.
constexpr Rgb blend(Rgb from, Rgb to, int part, int parts) {
  auto channel = [&](int shift) {
    const int a = static_cast<int>((from >> shift) & 0xFF);
    const int b = static_cast<int>((to >> shift) & 0xFF);
    return static_cast<Rgb>(a + (b - a) * part / parts) << shift;
  };
  return channel(16) | channel(8) | channel(0);
}

}  // namespace s::gui::drawer

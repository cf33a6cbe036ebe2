#pragma once

#include <cairo.h>

#include <cstdint>

namespace s::platform::ui {

// Small operations on image surfaces shared by the backends and their tests.
namespace surfaces {

// A new RGB24 image surface painted white; nullptr when cairo cannot make it.
cairo_surface_t* makeImage(int width, int height);
// Paints `from` into the top-left corner of `to` (what survives a resize).
void copyInto(cairo_surface_t* from, cairo_surface_t* to);
// 0xRRGGBB of an RGB24/ARGB32 image surface's pixel; 0 outside.
std::uint32_t pixelAt(cairo_surface_t* surface, int x, int y);

}  // namespace surfaces
}  // namespace s::platform::ui

#pragma once

#include <cairo.h>

#include <memory>

#include "platform/ui/ITrayIcon.h"

namespace s::platform::ui {

// What the notification areas need of a window's icon: a cairo picture to paint it with, and
// copies at the sizes a host asks for.
namespace icons {

struct SurfaceRelease {
  void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceRelease>;

// The icon as a premultiplied ARGB32 image surface; null for an empty icon.
Surface toSurface(const IconPixels& icon);
// The icon drawn into a width x height square, its proportions kept and centred, with smooth
// scaling; empty for an empty icon or size.
IconPixels scaled(const IconPixels& icon, int width, int height);
// Paints `picture` scaled into (0, 0, width, height) of `cr` as scaled() lays it out, over what
// is there.
void paintFitted(cairo_t* cr, cairo_surface_t* picture, int width, int height);

}  // namespace icons
}  // namespace s::platform::ui

#pragma once

#include <cairo.h>

#include "gui/icons/CellLayout.h"
#include "image/IImageBuffer.h"

namespace s::gui {

// Draws a cached picture into an icon box: scaled to the box unless it has that size, the
// scaled version kept with the picture so repaints do not resample, then copied or blended.
class IconDrawer final {
 public:
  // The picture at width x height: itself, or its scaled copy (made the first time, filled
  // again only when the size asked for changes). Null when no copy can be made.
  static image::IImageBuffer* scaled(image::IImageBuffer& picture, int width, int height);
  static void draw(image::IImageBuffer& picture, image::IImageBuffer& target, const CellBox& box);
  // The same onto what cairo has painted at the box (user space), within the clip. The
  // pixels beneath are read back from an image target drawn at whole pixels; any other
  // target gets cairo's own source-over, the same blend up to rounding.
  static void draw(image::IImageBuffer& picture, cairo_t* cr, const CellBox& box);
};

}  // namespace s::gui

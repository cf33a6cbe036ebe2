#pragma once

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
};

}  // namespace s::gui

#pragma once

#include <cstdint>

#include "image/IImageBuffer.h"

namespace s::image {

// Puts a picture onto another at (x, y) from the top left, clipped to both: copied when the
// picture has no alpha, composited pixel by pixel when it has.
class ImageBlender final {
 public:
  // Source over destination, both blue, green, red, alpha with straight (not premultiplied)
  // alpha.
  static void blendPixel(const uint8_t* source, uint8_t* destination);
  static void draw(const IImageBuffer& source, IImageBuffer& destination, int x, int y);
};

}  // namespace s::image

#pragma once

#include "image/IImageBuffer.h"

namespace s::image::filters::scale {

// Resamples a picture to another size by bilinear interpolation between the four nearest
// source pixels (pixel centres aligned). Pictures with alpha are interpolated with colours
// weighted by their alpha, so transparent pixels do not bleed their colour. Integer
// arithmetic only: the same input always gives the same pixels.
class BilinearFilter final {
 public:
  static BilinearFilter& instance();

  // Fills target, at its present size, from source; target takes source's alpha flag.
  void scale(const IImageBuffer& source, IImageBuffer& target) const;
};

}  // namespace s::image::filters::scale

#pragma once

#include "framework/base/Pooled.h"
#include "image/Bytes.h"
#include "image/ImageCache.h"

namespace s::image {

// PNG through libpng: every colour type and depth becomes 32-bit; alpha when the file has
// an alpha channel or a transparency chunk.
class PngDecoder final {
 public:
  static bool recognises(Bytes bytes);
  // Empty when the data is not a complete, valid PNG.
  static PoolPtr<ImageCache> decode(Bytes bytes);
};

}  // namespace s::image

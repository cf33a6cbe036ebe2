#pragma once

#include "framework/base/Pooled.h"
#include "image/Bytes.h"
#include "image/ImageCache.h"

namespace s::image {

// GIF through giflib: the first frame, placed on the logical screen; the transparent colour
// and any part of the screen the frame leaves uncovered become alpha 0.
class GifDecoder final {
 public:
  static PoolPtr<ImageCache> decode(Bytes bytes);
};

}  // namespace s::image

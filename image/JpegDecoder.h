#pragma once

#include "framework/base/Pooled.h"
#include "image/Bytes.h"
#include "image/ImageCache.h"

namespace s::image {

// JPEG through libjpeg, from memory: greyscale, colour and CMYK pictures become 32-bit
// pictures without alpha. A library error ends the decoding (never the process).
class JpegDecoder final {
 public:
  // Empty when the data is not a decodable JPEG or ends before the picture does.
  static PoolPtr<ImageCache> decode(Bytes bytes);
};

}  // namespace s::image

#pragma once

#include "framework/base/Pooled.h"
#include "image/Bytes.h"
#include "image/ImageCache.h"

namespace s::image {

// Windows bitmaps of our own: a BMP file, or the device-independent bitmap inside an icon
// entry (colour rows, then the 1-bit AND mask that marks transparent pixels).
// 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed or with bit-field masks.
class BmpDecoder final {
 public:
  // "BM" with the reserved bytes 6 to 9 zero.
  static bool recognises(Bytes bytes);
  static PoolPtr<ImageCache> decode(Bytes bytes);
  static PoolPtr<ImageCache> decodeIconBitmap(Bytes bytes);
};

}  // namespace s::image

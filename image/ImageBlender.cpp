#include "image/ImageBlender.h"

#include <algorithm>
#include <cstring>

namespace s::image {

void ImageBlender::blendPixel(const uint8_t* source, uint8_t* destination) {
  const int sa = source[3];
  const int da = destination[3];
  if (sa == 0) {
    return;
  }
  if (sa == 255 || da == 0) {
    std::memcpy(destination, source, 4);
    return;
  }
  const int a = sa + da - ((da * (sa + 1)) >> 8);
  const int w = sa * 256 / a;
  for (int c = 0; c < 3; ++c) {
    const int d = destination[c];
    // C++20 defines >> on negative values as arithmetic: it rounds down.
    destination[c] = static_cast<uint8_t>(d + (((source[c] - d) * w) >> 8));
  }
  destination[3] = static_cast<uint8_t>(a);
}

void ImageBlender::draw(const IImageBuffer& source, IImageBuffer& destination, int x, int y) {
  const int left = std::max(0, -x);
  const int top = std::max(0, -y);
  const int right = std::min(source.width(), destination.width() - x);
  const int bottom = std::min(source.height(), destination.height() - y);
  if (left >= right || top >= bottom) {
    return;
  }
  const size_t bytes = static_cast<size_t>(right - left) * 4;
  for (int r = top; r < bottom; ++r) {
    const uint8_t* in = source.row(r) + static_cast<ptrdiff_t>(left) * 4;
    uint8_t* out = destination.row(r + y) + static_cast<ptrdiff_t>(left + x) * 4;
    if (!source.hasAlpha()) {
      std::memcpy(out, in, bytes);
      continue;
    }
    for (int c = left; c < right; ++c, in += 4, out += 4) {
      if (!destination.hasAlpha()) {
        out[3] = 0xFF;  // an image without alpha is opaque
      }
      blendPixel(in, out);
    }
  }
}

}  // namespace s::image

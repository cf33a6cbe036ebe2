#include "image/BilinearFilter.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace s::image::filters::scale {

namespace {

// Where each target column or row samples the source: the two neighbours and the weight
// (0..256) of the second.
struct Tap {
  int first = 0;
  int second = 0;
  int weight = 0;
};

std::vector<Tap> taps(int sourceSize, int targetSize) {
  std::vector<Tap> result(static_cast<size_t>(targetSize));
  for (int i = 0; i < targetSize; ++i) {
    // Centre of target pixel i in source coordinates, in 1/256 pixel.
    int64_t position = ((int64_t{2} * i + 1) * sourceSize * 256) / (int64_t{2} * targetSize) - 128;
    position = std::clamp<int64_t>(position, 0, int64_t{sourceSize - 1} * 256);
    Tap& tap = result[static_cast<size_t>(i)];
    tap.first = static_cast<int>(position >> 8);
    tap.second = std::min(tap.first + 1, sourceSize - 1);
    tap.weight = static_cast<int>(position & 0xFF);
  }
  return result;
}

}  // namespace

BilinearFilter& BilinearFilter::instance() {
  static BilinearFilter filter;
  return filter;
}

void BilinearFilter::scale(const IImageBuffer& source, IImageBuffer& target) const {
  const int width = target.width();
  const int height = target.height();
  if (source.width() <= 0 || source.height() <= 0 || width <= 0 || height <= 0) {
    return;
  }
  const bool alpha = source.hasAlpha();
  const std::vector<Tap> columns = taps(source.width(), width);
  const std::vector<Tap> rows = taps(source.height(), height);
  for (int y = 0; y < height; ++y) {
    const Tap& ty = rows[static_cast<size_t>(y)];
    const uint8_t* top = source.row(ty.first);
    const uint8_t* bottom = source.row(ty.second);
    uint8_t* out = target.row(y);
    for (int x = 0; x < width; ++x, out += 4) {
      const Tap& tx = columns[static_cast<size_t>(x)];
      const uint8_t* p[4] = {top + 4 * tx.first, top + 4 * tx.second, bottom + 4 * tx.first,
                             bottom + 4 * tx.second};
      // Weights of the four neighbours; they add up to 65536.
      const uint64_t w[4] = {uint64_t(256 - tx.weight) * uint64_t(256 - ty.weight),
                             uint64_t(tx.weight) * uint64_t(256 - ty.weight),
                             uint64_t(256 - tx.weight) * uint64_t(ty.weight),
                             uint64_t(tx.weight) * uint64_t(ty.weight)};
      if (!alpha) {
        for (int c = 0; c < 3; ++c) {
          const uint64_t sum = w[0] * p[0][c] + w[1] * p[1][c] + w[2] * p[2][c] + w[3] * p[3][c];
          out[c] = static_cast<uint8_t>((sum + 32768) >> 16);
        }
        out[3] = 0xFF;
        continue;
      }
      uint64_t coverage = 0;
      for (int k = 0; k < 4; ++k) {
        coverage += w[k] * p[k][3];
      }
      for (int c = 0; c < 3; ++c) {
        uint64_t sum = 0;
        for (int k = 0; k < 4; ++k) {
          sum += w[k] * p[k][3] * p[k][c];
        }
        out[c] = coverage == 0 ? 0 : static_cast<uint8_t>((sum + coverage / 2) / coverage);
      }
      out[3] = static_cast<uint8_t>((coverage + 32768) >> 16);
    }
  }
  target.setHasAlpha(alpha);
}

}  // namespace s::image::filters::scale

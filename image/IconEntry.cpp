#include "image/IconEntry.h"

#include <cstdlib>

namespace s::image {

int chooseIconEntry(std::span<const IconEntry> entries, int width, int height, int bits) {
  const int target = width * height;
  int best = -1;
  for (size_t i = 0; i < entries.size(); ++i) {
    const IconEntry& entry = entries[i];
    if (entry.width == width && entry.height == height && entry.bitCount == bits) {
      return static_cast<int>(i);
    }
    if (best < 0) {
      best = static_cast<int>(i);
      continue;
    }
    const IconEntry& kept = entries[static_cast<size_t>(best)];
    const int d = std::abs(target - entry.width * entry.height);
    const int db = std::abs(target - kept.width * kept.height);
    if (d < db || (d == db && std::abs(bits - entry.bitCount) < std::abs(bits - kept.bitCount))) {
      best = static_cast<int>(i);
    }
  }
  return best;
}

}  // namespace s::image

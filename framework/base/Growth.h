#pragma once

#include <cstdint>

namespace s {

// The one growth rule shared by arrays, lists, texts and pool free lists.
constexpr uint32_t grownCapacity(uint32_t capacity) {
  if (capacity < 100) {
    return 100;
  }
  uint64_t next = capacity;
  if (capacity < 10'000'000) {
    next = next * 3;
  } else if (capacity < 50'000'000) {
    next = next * 2;
  } else if (capacity < 100'000'000) {
    next = next * 3 / 2;
  } else {
    next = next * 6 / 5;
  }
  return next > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(next);
}

// Applies the rule until `needed` fits.
constexpr uint32_t capacityFor(uint32_t capacity, uint32_t needed) {
  while (capacity < needed) {
    uint32_t next = grownCapacity(capacity);
    if (next == capacity) {
      return needed;
    }
    capacity = next;
  }
  return capacity;
}

}  // namespace s

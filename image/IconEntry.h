#pragma once

#include <cstdint>
#include <span>

namespace s::image {

// One entry of an icon directory: the sizes as stored (0 stays 0) and where its picture is.
struct IconEntry {
  uint8_t width = 0;
  uint8_t height = 0;
  uint8_t colorCount = 0;
  uint16_t planes = 0;
  uint16_t bitCount = 0;
  uint64_t offset = 0;  // in the icon file, or in the module for icon resources
  uint32_t size = 0;
};

// The best entry for a wanted size and depth: an exact match at once, else the nearest area,
// then the nearest bit count, else the earlier entry. -1 for an empty directory.
int chooseIconEntry(std::span<const IconEntry> entries, int width, int height, int bits);

}  // namespace s::image

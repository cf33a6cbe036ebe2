#include "app/base/ProgramIcon.h"

extern "C" {
extern const unsigned char netvigil_icon_16[];
extern const unsigned long netvigil_icon_16_size;
extern const unsigned char netvigil_icon_32[];
extern const unsigned long netvigil_icon_32_size;
extern const unsigned char netvigil_icon_48[];
extern const unsigned long netvigil_icon_48_size;
extern const unsigned char netvigil_icon_64[];
extern const unsigned long netvigil_icon_64_size;
extern const unsigned char netvigil_icon_128[];
extern const unsigned long netvigil_icon_128_size;
extern const unsigned char netvigil_icon_256[];
extern const unsigned long netvigil_icon_256_size;
}

namespace s::app::win {

std::span<const std::uint8_t> ProgramIcon::png(int size) {
  const std::span<const std::uint8_t> pictures[] = {
      {netvigil_icon_16, netvigil_icon_16_size},   {netvigil_icon_32, netvigil_icon_32_size},
      {netvigil_icon_48, netvigil_icon_48_size},   {netvigil_icon_64, netvigil_icon_64_size},
      {netvigil_icon_128, netvigil_icon_128_size}, {netvigil_icon_256, netvigil_icon_256_size},
  };
  for (std::size_t i = 0; i < kSizes.size(); ++i) {
    if (size <= kSizes[i]) {
      return pictures[i];
    }
  }
  return pictures[kSizes.size() - 1];
}

}  // namespace s::app::win

#include "gui/drawer/BrandPictures.h"

extern "C" {
extern const unsigned char netvigil_brand_wide[];
extern const unsigned long netvigil_brand_wide_size;
extern const unsigned char netvigil_brand_tall[];
extern const unsigned long netvigil_brand_tall_size;
}

namespace s::gui::drawer {

std::span<const std::uint8_t> BrandPictures::jpeg(std::int32_t resourceId) {
  if (resourceId == kWide) {
    return {netvigil_brand_wide, netvigil_brand_wide_size};
  }
  if (resourceId == kTall) {
    return {netvigil_brand_tall, netvigil_brand_tall_size};
  }
  return {};
}

}  // namespace s::gui::drawer

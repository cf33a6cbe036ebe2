#pragma once

#include <cstdint>
#include <span>

namespace s::gui::drawer {

// The program's two brand pictures, JPEG files compiled into it: the wide one (700 × 230,
// resource 131) and the tall one (230 × 700, resource 132). brand/MakeBrandPictures.cpp draws
// them.
class BrandPictures {
 public:
  static constexpr std::int32_t kWide = 131;
  static constexpr std::int32_t kTall = 132;

  // The JPEG bytes of a resource id; empty for another id.
  static std::span<const std::uint8_t> jpeg(std::int32_t resourceId);
};

}  // namespace s::gui::drawer

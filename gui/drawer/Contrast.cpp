#include "gui/drawer/Contrast.h"

#include <algorithm>
#include <cmath>

namespace s::gui::drawer::contrast {

namespace {

double linear(std::uint32_t channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

constexpr Rgb kBlack = 0x000000;
constexpr Rgb kWhite = 0xFFFFFF;
constexpr int kShadeSteps = 255;

}  // namespace

double luminance(Rgb colour) {
  return 0.2126 * linear((colour >> 16) & 0xFF) + 0.7152 * linear((colour >> 8) & 0xFF) +
         0.0722 * linear(colour & 0xFF);
}

double ratio(Rgb a, Rgb b) {
  const double la = luminance(a);
  const double lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb readableOn(Rgb ground, std::span<const Rgb> candidates, double minimum) {
  if (candidates.empty()) {
    return ground;
  }
  const auto found = std::find_if(candidates.begin(), candidates.end(),
                                  [&](Rgb c) { return ratio(c, ground) >= minimum; });
  if (found != candidates.end()) {
    return *found;
  }
  const Rgb pole = ratio(kBlack, ground) >= ratio(kWhite, ground) ? kBlack : kWhite;
  for (int step = 1; step < kShadeSteps; ++step) {
    const Rgb shade = blend(candidates.front(), pole, step, kShadeSteps);
    if (ratio(shade, ground) >= minimum) {
      return shade;
    }
  }
  return pole;
}

}  // namespace s::gui::drawer::contrast

#pragma once

#include <span>

#include "gui/drawer/Rgb.h"

// How well one colour reads on another, as the contrast ratio of their relative luminances
// (1 : 1 for equal colours up to 21 : 1 for black on white).
namespace s::gui::drawer::contrast {

// Text, and the lines of glyphs and other pictures, must reach these against their ground.
inline constexpr double kText = 4.5;
inline constexpr double kGlyph = 3.0;
// A pressed or highlighted surface must stand apart from the plain one by this much.
inline constexpr double kDistinct = 1.5;

// The relative luminance of an sRGB colour, 0 for black to 1 for white.
double luminance(Rgb colour);
double ratio(Rgb a, Rgb b);
// The first candidate that reaches `minimum` against `ground`. When none does, the first
// candidate moved towards black or white (whichever reads better on the ground) just far
// enough, so that its hue stays. `ground` itself for no candidates.
Rgb readableOn(Rgb ground, std::span<const Rgb> candidates, double minimum);

}  // namespace s::gui::drawer::contrast

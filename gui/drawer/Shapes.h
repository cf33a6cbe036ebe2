#pragma once

#include <cairo.h>

#include "gui/drawer/Rgb.h"
#include "platform/ui/DesktopScale.h"
#include "platform/ui/Rect.h"

// Pixel-exact rectangles and lines the drawers are made of.
namespace s::gui::drawer::shapes {

void fill(cairo_t* cr, const platform::ui::Rect& area, Rgb colour);
// A one-pixel line along the inside of the area.
void frame(cairo_t* cr, const platform::ui::Rect& area, Rgb colour);
// The plain look's relief: light top and left, shadow bottom and right (the other way round
// when sunken).
void bevel(cairo_t* cr, const platform::ui::Rect& area, bool sunken);
// Shrinks an area by `by` pixels on every side.
platform::ui::Rect inset(const platform::ui::Rect& area, int by);

// A drawer's own lengths, given at 96 dpi, in the screen's pixels; and the width of its lines.
inline int px(int length) {
  return platform::ui::DesktopScale::px(length);
}
inline int line() {
  return platform::ui::DesktopScale::line();
}

// The plain look's colours, standing for the desktop's system colours.
inline constexpr Rgb kFace = 0xF0F0F0;
inline constexpr Rgb kLight = 0xFFFFFF;
inline constexpr Rgb kShadow = 0xA0A0A0;
inline constexpr Rgb kDarkShadow = 0x696969;
inline constexpr Rgb kText = 0x000000;
inline constexpr Rgb kGrayText = 0x6D6D6D;
inline constexpr Rgb kSelection = 0x3584E4;
inline constexpr Rgb kSelectionText = 0xFFFFFF;
inline constexpr Rgb kWindow = 0xFFFFFF;

}  // namespace s::gui::drawer::shapes

#pragma once

#include <cairo.h>

#include <span>
#include <string_view>

#include "gui/drawer/Rgb.h"
#include "platform/ui/Rect.h"

namespace s::gui::drawer {

// The named pictures skinned buttons show instead of a caption ("#X", "#Up", ...), drawn as
// vector shapes in one colour so that they follow the skin and any size.
class Glyphs {
 public:
  // Every name draw() knows, "#Color-" (which takes a colour after it) last.
  static std::span<const std::u16string_view> names();
  // A caption that names a glyph: "#" followed by a known name, or "#Color-RRGGBB".
  static bool isGlyph(std::u16string_view caption);
  // Draws the glyph centred in `area`; false (nothing drawn) for an unknown name.
  static bool draw(cairo_t* cr, std::u16string_view name, const platform::ui::Rect& area,
                   Rgb colour);
  // The colour of a "#Color-RRGGBB" caption; false when the caption is not one.
  static bool swatchColour(std::u16string_view caption, Rgb& colour);
};

}  // namespace s::gui::drawer

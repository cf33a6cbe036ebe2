#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "gui/drawer/IFont.h"
#include "gui/drawer/Rgb.h"
#include "platform/ui/Rect.h"

namespace s::gui::drawer {

// Text through pango, shared by every drawer: measuring and painting one text in a font.
// Each thread keeps its own pango context, layout and scratch surface for it, so that the many
// short texts of a list cost their shaping and nothing more.
class TextLayout {
 public:
  struct Size {
    std::int32_t width = 0;
    std::int32_t height = 0;
  };
  // Horizontal alignment of painted text.
  enum Align : std::int32_t { kLeft = 0, kCenter = 1, kRight = 2 };

  static std::string utf8(std::u16string_view text);

  // The pixel extent of the text in `font` (nullptr: the desktop's sans face, 10 points);
  // wrapWidth > 0 wraps at that many pixels. Any thread.
  static Size measure(std::u16string_view text, const IFont* font, std::int32_t wrapWidth);
  // The font's own colour when it has one, else `fallback`.
  static Rgb inkOf(const IFont* font, Rgb fallback) {
    return font != nullptr && font->hasColour() ? font->getColour() : fallback;
  }
  // Paints the text in `colour` inside `area`, aligned horizontally and centred vertically;
  // wrapped at the area's width when `wrap`. A text the area cannot hold ends in an ellipsis.
  static void paint(cairo_t* cr, const platform::ui::Rect& area, std::u16string_view text,
                    const IFont* font, Rgb colour, std::int32_t align, bool wrap);
};

}  // namespace s::gui::drawer

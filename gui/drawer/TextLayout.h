#pragma once

#include <cairo.h>
#include <pango/pangocairo.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "gui/drawer/IFont.h"
#include "gui/drawer/Rgb.h"
#include "platform/ui/Rect.h"

namespace s::gui::drawer {

// Text through pango, shared by every drawer: measuring and painting one text in a font.
class TextLayout {
 public:
  struct Size {
    std::int32_t width = 0;
    std::int32_t height = 0;
  };
  // Horizontal alignment of painted text.
  enum Align : std::int32_t { kLeft = 0, kCenter = 1, kRight = 2 };

  // The font components fall back on: the desktop's sans face, 10 points.
  static const PangoFontDescription* defaultDescription();
  static std::string utf8(std::u16string_view text);

  // A layout of `text` in `font` (nullptr: the default) for `cr`; wrapWidth > 0 wraps at
  // that many pixels. The caller unrefs it.
  static PangoLayout* make(cairo_t* cr, std::u16string_view text, const IFont* font,
                           std::int32_t wrapWidth);
  // The pixel extent of the text (any thread).
  static Size measure(std::u16string_view text, const IFont* font, std::int32_t wrapWidth);
  // The font's own colour when it has one, else `fallback`.
  static Rgb inkOf(const IFont* font, Rgb fallback) {
    return font != nullptr && font->hasColour() ? font->getColour() : fallback;
  }
  // Paints the text in `colour` inside `area`,
  // aligned horizontally and centred vertically; wrapped at the area's width when `wrap`.
  static void paint(cairo_t* cr, const platform::ui::Rect& area, std::u16string_view text,
                    const IFont* font, Rgb colour, std::int32_t align, bool wrap);
};

}  // namespace s::gui::drawer

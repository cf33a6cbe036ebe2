#include "gui/drawer/text/TextDrawer.h"

#include "gui/drawer/Shapes.h"

namespace s::gui::drawer::text {

TextDrawer::TextDrawer() {
  setDefaults({0xF0F0F0, 0, 0x0066CC, 0}, {0x000000, 0x6D6D6D, 0x0066CC, 0x0033AA}, true);
}

TextLayout::Size TextDrawer::measureText(std::u16string_view text, const IFont* font,
                                         std::int32_t wrapWidth) {
  return TextLayout::measure(text, font, wrapWidth);
}

void TextDrawer::paintText(cairo_t* cr, const Rect& area, std::u16string_view text,
                           const IFont* font, std::int32_t align, bool wrap, bool enabled,
                           bool link, std::int32_t hotState) {
  if (!isTransparent()) {
    shapes::fill(cr, area, getColour(0));
  }
  Rgb colour = getFontColour(0);
  if (!enabled) {
    colour = getFontColour(1);
  } else if (link) {
    colour = hotState > 0 ? getFontColour(3) : getFontColour(2);
  }
  TextLayout::paint(cr, area, text, font, TextLayout::inkOf(font, colour), align, wrap);
  if (link && hotState > 0 && thin()) {
    // The skinned look marks a link under the mouse with a line under the whole label.
    const std::int32_t line = shapes::line();
    shapes::fill(cr, {area.x, area.y + area.height - line, area.width, line}, getColour(2));
  }
}

}  // namespace s::gui::drawer::text

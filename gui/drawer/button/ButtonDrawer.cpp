#include "gui/drawer/button/ButtonDrawer.h"

#include "gui/drawer/Glyphs.h"
#include "gui/drawer/Shapes.h"
#include "gui/drawer/TextLayout.h"

namespace s::gui::drawer::button {

ButtonDrawer::ButtonDrawer() {
  setDefaults({0x707070, 0xF0F0F0, 0x707070, 0xD0D0D0}, {0x000000, 0x000000, 0xF0F0F0, 0xF0F0F0},
              false);
}

void ButtonDrawer::paintButton(cairo_t* cr, const Rect& area, std::int32_t hotState,
                               std::u16string_view caption, bool drawFlag, const IFont* font,
                               bool enabled, bool pressedLook, bool drawFlag2) {
  const Rgb frame = getColour(0);
  const Rgb face = getColour(1);
  const bool down = pressedLook || hotState == 2;
  const bool glyph = caption.starts_with(u"#") && Glyphs::isGlyph(caption);
  Rgb fill = face;
  Rgb ink = getFontColour(glyph ? 1 : 0);
  if (thin()) {
    // Skinned: a pressed button shows the pressed surface with its own inks, one under the
    // mouse the hover surface.
    if (down) {
      fill = getColour(2);
      ink = getFontColour(glyph ? 3 : 2);
    } else if (hotState == 1) {
      fill = getColour(3);
    }
  } else if (hotState == 1 && !down) {
    fill = mix(face, shapes::kLight);
  }
  if (!enabled) {
    ink = mix(ink, fill);
  }
  if (!isTransparent() || down) {
    shapes::fill(cr, area, fill);
  }
  // drawFlag: the button's own frame; drawFlag2 leaves only the caption (flat tool buttons).
  if (drawFlag && !drawFlag2) {
    if (thin()) {
      shapes::frame(cr, area, frame);
    } else {
      shapes::bevel(cr, area, down);
      shapes::frame(cr, shapes::inset(area, shapes::line()), frame);
    }
  }
  const Rect inner = shapes::inset(area, shapes::px(2));
  if (glyph && Glyphs::draw(cr, caption, inner, ink)) {
    return;
  }
  Rect text = inner;
  if (down && !thin()) {
    text.x += shapes::line();
    text.y += shapes::line();
  }
  // A font with its own colour keeps it, except where the pressed look inverts the colours.
  if (font != nullptr && font->hasColour() && !(thin() && down)) {
    ink = enabled ? font->getColour() : mix(font->getColour(), fill);
  }
  TextLayout::paint(cr, text, caption, font, ink, TextLayout::kCenter, false);
}

}  // namespace s::gui::drawer::button

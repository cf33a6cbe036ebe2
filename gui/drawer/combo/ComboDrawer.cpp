#include "gui/drawer/combo/ComboDrawer.h"

#include <algorithm>

#include "gui/drawer/Glyphs.h"
#include "gui/drawer/Shapes.h"
#include "gui/drawer/TextLayout.h"

namespace s::gui::drawer::combo {

ComboDrawer::ComboDrawer() {
  setDefaults({0x7A7A7A, 0xFFFFFF, 0, 0}, {0x000000, 0, 0, 0}, false);
}

void ComboDrawer::paintCombo(cairo_t* cr, const Rect& area, std::u16string_view text,
                             const IFont* font, bool open, std::int32_t hotState) {
  const Rgb frame = getColour(0);
  shapes::fill(cr, area, getColour(1));
  const std::int32_t button = std::min(area.height, shapes::px(17));
  const Rect arrow{area.x + area.width - button, area.y, button, area.height};
  shapes::fill(cr, arrow, hotState > 0 || open ? mix(getColour(1), frame) : getColour(1));
  if (thin()) {
    shapes::frame(cr, area, frame);
  } else {
    shapes::bevel(cr, area, true);
    shapes::bevel(cr, shapes::inset(arrow, shapes::line()), open);
  }
  Glyphs::draw(cr, u"#Down", arrow, frame);
  TextLayout::paint(
      cr, {area.x + shapes::px(4), area.y, area.width - button - shapes::px(6), area.height}, text,
      font, TextLayout::inkOf(font, getFontColour(0)), TextLayout::kLeft, false);
}

}  // namespace s::gui::drawer::combo

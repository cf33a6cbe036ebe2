#include "gui/drawer/listheader/ListHeaderDrawer.h"

#include "gui/drawer/Glyphs.h"
#include "gui/drawer/Shapes.h"
#include "gui/drawer/TextLayout.h"

namespace s::gui::drawer::listheader {

ListHeaderDrawer::ListHeaderDrawer() {
  setDefaults({0xA0A0A0, shapes::kWindow, 0, 0}, {0x000000, 0x000000, 0, 0}, false);
}

void ListHeaderDrawer::paintHeader(cairo_t* cr, const Rect& area, std::u16string_view text,
                                   const IFont* font, std::int32_t hotState, std::int32_t sort) {
  const Rgb frame = getColour(0);
  const Rgb ground = getColour(1);
  if (!isTransparent()) {
    shapes::fill(cr, area, hotState > 0 ? mix(ground, frame) : ground);
  }
  if (thin()) {
    // A line under the row and one at the column's right end.
    const std::int32_t line = shapes::line();
    shapes::fill(cr, {area.x, area.y + area.height - line, area.width, line}, frame);
    shapes::fill(
        cr, {area.x + area.width - line, area.y + shapes::px(3), line, area.height - shapes::px(6)},
        frame);
  } else {
    shapes::bevel(cr, area, hotState == 2);
  }
  const std::int32_t mark = sort != 0 ? shapes::px(12) : 0;
  const std::int32_t gap = shapes::px(4);
  TextLayout::paint(cr, {area.x + gap, area.y, area.width - 2 * gap - mark, area.height}, text,
                    font, TextLayout::inkOf(font, getFontColour(0)), TextLayout::kLeft, false);
  if (sort != 0) {
    Glyphs::draw(cr, sort > 0 ? u"#Up" : u"#Down",
                 {area.x + area.width - gap - mark, area.y, mark, area.height}, getFontColour(1));
  }
}

}  // namespace s::gui::drawer::listheader

#include "gui/drawer/scrollbar/ScrollBarDrawer.h"

#include "gui/drawer/Glyphs.h"
#include "gui/drawer/Shapes.h"

namespace s::gui::drawer::scrollbar {

ScrollBarDrawer::ScrollBarDrawer() {
  setDefaults({0x606060, 0xCDCDCD, 0xF0F0F0, 0}, {0x606060, 0, 0, 0}, false);
}

void ScrollBarDrawer::paintTrack(cairo_t* cr, const Rect& area, bool /*vertical*/) {
  shapes::fill(cr, area, getColour(2));
}

void ScrollBarDrawer::paintThumb(cairo_t* cr, const Rect& area, bool vertical,
                                 std::int32_t hotState) {
  const Rgb face = hotState > 0 ? mix(getColour(1), getColour(0)) : getColour(1);
  shapes::fill(cr, area, face);
  if (thin()) {
    shapes::frame(cr, area, getColour(0));
    Glyphs::draw(cr, vertical ? u"#ThumbLineV" : u"#ThumbLineH", area, getFontColour(0));
  } else {
    shapes::bevel(cr, area, false);
  }
}

void ScrollBarDrawer::paintArrow(cairo_t* cr, const Rect& area, std::u16string_view glyph,
                                 std::int32_t hotState) {
  shapes::fill(cr, area, hotState > 0 ? mix(getColour(1), getColour(0)) : getColour(1));
  if (thin()) {
    shapes::frame(cr, area, getColour(0));
  } else {
    shapes::bevel(cr, area, hotState == 2);
  }
  Glyphs::draw(cr, glyph, area, getFontColour(0));
}

}  // namespace s::gui::drawer::scrollbar

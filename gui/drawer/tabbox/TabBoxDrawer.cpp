#include "gui/drawer/tabbox/TabBoxDrawer.h"

#include "gui/drawer/Shapes.h"
#include "gui/drawer/TextLayout.h"

namespace s::gui::drawer::tabbox {

TabBoxDrawer::TabBoxDrawer() {
  setDefaults({0xA0A0A0, 0xFFFFFF, 0, 0}, {0x000000, 0, 0, 0}, false);
}

void TabBoxDrawer::paintTab(cairo_t* cr, const Rect& area, std::u16string_view text,
                            const IFont* font, bool selected, std::int32_t hotState) {
  const Rgb frame = getColour(0);
  Rgb fill = selected ? getColour(1) : shapes::kFace;
  if (hotState > 0 && !selected) {
    fill = mix(fill, frame);
  }
  shapes::fill(cr, area, fill);
  if (thin()) {
    shapes::frame(cr, {area.x, area.y, area.width, area.height + (selected ? shapes::line() : 0)},
                  frame);
  } else {
    shapes::bevel(cr, area, false);
  }
  TextLayout::paint(cr, shapes::inset(area, shapes::px(3)), text, font,
                    TextLayout::inkOf(font, getFontColour(0)), TextLayout::kCenter, false);
}

void TabBoxDrawer::paintPane(cairo_t* cr, const Rect& area) {
  if (!isTransparent()) {
    shapes::fill(cr, area, getColour(1));
  }
  thin() ? shapes::frame(cr, area, getColour(0)) : shapes::bevel(cr, area, false);
}

}  // namespace s::gui::drawer::tabbox

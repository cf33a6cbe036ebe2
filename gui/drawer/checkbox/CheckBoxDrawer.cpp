#include "gui/drawer/checkbox/CheckBoxDrawer.h"

#include <algorithm>

#include "gui/drawer/Glyphs.h"
#include "gui/drawer/Shapes.h"
#include "gui/drawer/TextLayout.h"

namespace s::gui::drawer::checkbox {

CheckBoxDrawer::CheckBoxDrawer() {
  setDefaults({0x333333, 0xE5F1FB, 0, 0}, {0x000000, 0, 0, 0}, true);
}

void CheckBoxDrawer::paintCheckBox(cairo_t* cr, const Rect& area, std::u16string_view text,
                                   const IFont* font, bool checked, bool enabled,
                                   std::int32_t hotState) {
  const std::int32_t side = std::min(shapes::px(13), area.height);
  const std::int32_t gap = shapes::px(4);
  const Rect box{area.x, area.y + (area.height - side) / 2, side, side};
  shapes::fill(cr, box, hotState > 0 ? getColour(1) : shapes::kWindow);
  if (thin()) {
    shapes::frame(cr, box, getColour(0));
  } else {
    shapes::bevel(cr, box, true);
  }
  const Rgb ink = enabled ? getFontColour(0) : shapes::kGrayText;
  if (checked) {
    Glyphs::draw(cr, u"#Check", box, thin() ? getColour(0) : ink);
  }
  TextLayout::paint(cr, {area.x + side + gap, area.y, area.width - side - gap, area.height}, text,
                    font, TextLayout::inkOf(font, ink), TextLayout::kLeft, false);
}

}  // namespace s::gui::drawer::checkbox

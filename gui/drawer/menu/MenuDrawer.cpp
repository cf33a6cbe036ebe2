#include "gui/drawer/menu/MenuDrawer.h"

#include "gui/drawer/Glyphs.h"
#include "gui/drawer/Shapes.h"
#include "gui/drawer/TextLayout.h"

namespace s::gui::drawer::menu {

MenuDrawer::MenuDrawer() {
  setDefaults({0x000000, 0x3584E4, 0xF9F9F9, 0},
              {0x000000, 0x6D6D6D, 0x000000, shapes::kSelectionText}, false);
}

void MenuDrawer::paintMenuBackground(cairo_t* cr, const Rect& area) {
  shapes::fill(cr, area, getColour(2));
  if (thin()) {
    shapes::frame(cr, area, getColour(1));
  } else {
    shapes::bevel(cr, area, false);
  }
}

void MenuDrawer::paintMenuItem(cairo_t* cr, const Rect& area, std::u16string_view text,
                               const IFont* font, bool highlighted, bool enabled, bool checked) {
  Rgb ink = enabled ? getFontColour(0) : getFontColour(1);
  if (highlighted && enabled) {
    shapes::fill(cr, area, getColour(1));
    ink = getFontColour(3);
  }
  const std::int32_t mark = area.height;
  if (checked) {
    Glyphs::draw(cr, u"#Check", {area.x, area.y, mark, area.height},
                 highlighted ? ink : getFontColour(2));
  }
  TextLayout::paint(cr, {area.x + mark, area.y, area.width - mark - shapes::px(4), area.height},
                    text, font, TextLayout::inkOf(font, ink), TextLayout::kLeft, false);
}

void MenuDrawer::paintSeparator(cairo_t* cr, const Rect& area) {
  shapes::fill(cr,
               {area.x + shapes::px(2), area.y + area.height / 2, area.width - shapes::px(4),
                shapes::line()},
               thin() ? getColour(1) : shapes::kShadow);
}

}  // namespace s::gui::drawer::menu

#include "gui/drawer/menu/MenuDrawer.h"

#include <algorithm>
#include <cmath>

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
                               const IFont* font, const MenuEntryLook& look) {
  Rgb ink = look.enabled ? getFontColour(0) : getFontColour(1);
  const bool lit = look.highlighted && look.enabled;
  if (lit) {
    shapes::fill(cr, area, getColour(1));
    ink = getFontColour(3);
  }
  const std::int32_t mark = area.height;
  const Rgb markInk = lit ? ink : (look.enabled ? getFontColour(2) : getFontColour(1));
  if (look.mark == MenuMark::kCheck) {
    Glyphs::draw(cr, u"#Check", {area.x, area.y, mark, area.height}, markInk);
  } else if (look.mark == MenuMark::kRadio) {
    setSource(cr, markInk);
    cairo_arc(cr, area.x + mark / 2.0, area.y + area.height / 2.0, std::max(2.0, mark / 6.0), 0,
              2 * M_PI);
    cairo_fill(cr);
  }
  if (look.subMenu) {
    Glyphs::draw(cr, u"#Right", {area.x + area.width - mark, area.y, mark, area.height}, markInk);
  }
  TextLayout::paint(cr, {area.x + mark, area.y, area.width - 2 * mark, area.height}, text, font,
                    TextLayout::inkOf(font, ink), TextLayout::kLeft, false);
}

void MenuDrawer::paintSeparator(cairo_t* cr, const Rect& area) {
  shapes::fill(cr,
               {area.x + shapes::px(2), area.y + area.height / 2, area.width - shapes::px(4),
                shapes::line()},
               thin() ? getColour(1) : shapes::kShadow);
}

void MenuDrawer::paintMenuTitle(cairo_t* cr, const Rect& area, std::u16string_view text,
                                const IFont* font, bool hot) {
  Rgb ink = getFontColour(0);
  if (hot) {
    shapes::fill(cr, area, getColour(1));
    ink = getFontColour(3);
  }
  TextLayout::paint(cr, area, text, font, TextLayout::inkOf(font, ink), TextLayout::kCenter, false);
}

}  // namespace s::gui::drawer::menu

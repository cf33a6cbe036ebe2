#include "gui/drawer/groupbox/GroupBoxDrawer.h"

#include "gui/drawer/Shapes.h"
#include "gui/drawer/TextLayout.h"

namespace s::gui::drawer::groupbox {

GroupBoxDrawer::GroupBoxDrawer() {
  setDefaults({0xA0A0A0, 0, 0, 0}, {0x000000, 0, 0, 0}, true);
}

void GroupBoxDrawer::paintGroupBox(cairo_t* cr, const Rect& area, std::u16string_view title,
                                   const IFont* font) {
  const TextLayout::Size size = TextLayout::measure(title, font, 0);
  const Rect box{area.x, area.y + size.height / 2, area.width, area.height - size.height / 2};
  const Rect label{area.x + shapes::px(8), area.y, title.empty() ? 0 : size.width + shapes::px(4),
                   size.height};
  // The title interrupts the top line: the frame is drawn around it.
  cairo_save(cr);
  cairo_rectangle(cr, area.x, area.y, area.width, area.height);
  cairo_rectangle(cr, label.x, label.y, label.width, label.height);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_clip(cr);
  if (thin()) {
    shapes::frame(cr, box, getColour(0));
  } else {
    shapes::frame(cr, box, shapes::kShadow);
    shapes::frame(cr, {box.x + 1, box.y + 1, box.width - 1, box.height - 1}, shapes::kLight);
  }
  cairo_restore(cr);
  if (!title.empty()) {
    TextLayout::paint(cr, {label.x + shapes::px(2), label.y, size.width, size.height}, title, font,
                      TextLayout::inkOf(font, getFontColour(0)), TextLayout::kLeft, false);
  }
}

}  // namespace s::gui::drawer::groupbox

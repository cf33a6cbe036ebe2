#include "gui/drawer/border/BorderDrawer.h"

#include "gui/drawer/Shapes.h"

namespace s::gui::drawer::border {

BorderDrawer::BorderDrawer() {
  setDefaults({0x828790, 0xFFFFFF, 0, 0}, {0, 0, 0, 0}, false);
}

void BorderDrawer::paintBorder(cairo_t* cr, const Rect& area) {
  if (!isTransparent()) {
    shapes::fill(cr, area, getColour(1));
  }
  if (thin()) {
    shapes::frame(cr, area, getColour(0));
  } else {
    shapes::bevel(cr, area, true);
  }
}

}  // namespace s::gui::drawer::border

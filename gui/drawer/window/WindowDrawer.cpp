#include "gui/drawer/window/WindowDrawer.h"

#include "gui/drawer/Shapes.h"
#include "gui/drawer/TextLayout.h"

namespace s::gui::drawer::window {

WindowDrawer::WindowDrawer() {
  setDefaults({0x6D6D6D, 0xBFCDDB, 0x99B4D1, 0xE5E5E5}, {0x000000, 0x6D6D6D, 0, 0xFFFFFF}, false);
}

void WindowDrawer::paintFrame(cairo_t* cr, const Rect& area, bool active) {
  if (thin()) {
    shapes::frame(cr, area, active ? getColour(0) : getColour(1));
  } else {
    shapes::bevel(cr, area, false);
  }
}

void WindowDrawer::paintCaption(cairo_t* cr, const Rect& area, std::u16string_view title,
                                const IFont* font, bool active) {
  if (!isTransparent()) {
    shapes::fill(cr, area, active ? getColour(2) : getColour(1));
  }
  const Rect text{area.x + shapes::px(6), area.y, area.width - shapes::px(12), area.height};
  TextLayout::paint(cr, text, title, font,
                    TextLayout::inkOf(font, active ? getFontColour(0) : getFontColour(1)),
                    TextLayout::kLeft, false);
}

}  // namespace s::gui::drawer::window

#include "gui/drawer/listbox/Basic.h"

#include "gui/drawer/Shapes.h"

namespace s::gui::drawer::listbox::win {

Basic::Basic() {
  setDefaults({shapes::kWindow, shapes::kText, shapes::kSelection, shapes::kSelectionText},
              {shapes::kText, 0, 0, 0}, false);
}

void Basic::reset() {
  DrawerBase<IListBox>::reset();
  stripe_ = kDefaultStripe;
}

void Basic::setColours(Rgb background, Rgb text, Rgb highlight, Rgb selectedText, Rgb stripe) {
  setColour(0, background);
  setColour(1, text);
  setColour(2, highlight);
  setColour(3, selectedText);
  stripe_ = stripe;
}

Rgb Basic::paintRow(cairo_t* cr, const Rect& area, std::uint32_t row, bool striped, bool selected) {
  if (selected) {
    shapes::fill(cr, area, getHighlight());
    return getSelectedText();
  }
  shapes::fill(cr, area, striped && row % 2 == 1 ? stripe_ : getBackground());
  return getText();
}

void Basic::paintInsertionLine(cairo_t* cr, std::int32_t x, std::int32_t y, std::int32_t width) {
  shapes::fill(cr, {x, y - 1, width, 2}, getHighlight());
}

}  // namespace s::gui::drawer::listbox::win

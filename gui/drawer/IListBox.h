#pragma once

#include <cstdint>
#include "gui/drawer/IDrawer.h"

namespace s::gui::drawer {

// List rows. Colours: 0 background, 1 text, 2 highlight (selected row and drag line),
// 3 selected text; the stripe has its own getter.
class IListBox : public IDrawer {
 public:
  using Rect = platform::ui::Rect;

  virtual Rgb getBackground() const = 0;
  virtual Rgb getText() const = 0;
  virtual Rgb getHighlight() const = 0;
  virtual Rgb getSelectedText() const = 0;
  virtual Rgb getStripe() const = 0;
  virtual void setColours(Rgb background, Rgb text, Rgb highlight, Rgb selectedText,
                          Rgb stripe) = 0;
  // Fills a row's background (odd rows striped when `striped`) and answers the colour its
  // text takes.
  virtual Rgb paintRow(cairo_t* cr, const Rect& area, std::uint32_t row, bool striped,
                       bool selected) = 0;
  // The line that shows where dragged rows would go.
  virtual void paintInsertionLine(cairo_t* cr, std::int32_t x, std::int32_t y,
                                  std::int32_t width) = 0;
};

}  // namespace s::gui::drawer

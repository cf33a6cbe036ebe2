#pragma once

#include <cstdint>
#include "gui/drawer/IDrawer.h"

namespace s::gui::drawer {

// A frame around an area. Colours: 0 line, 1 fill.
class IBorder : public IDrawer {
 public:
  using Rect = platform::ui::Rect;

  virtual void paintBorder(cairo_t* cr, const Rect& area) = 0;
};

}  // namespace s::gui::drawer

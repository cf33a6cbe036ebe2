#pragma once

#include <cstdint>
#include "gui/drawer/IDrawer.h"

namespace s::gui::drawer {

// Status bars. Colours: 0 text, 1 frame. Fonts: 0 text.
class IStatusBar : public IDrawer {
 public:
  using Rect = platform::ui::Rect;

  virtual void paintStatusBar(cairo_t* cr, const Rect& area) = 0;
};

}  // namespace s::gui::drawer

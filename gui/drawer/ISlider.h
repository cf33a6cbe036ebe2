#pragma once

#include <cstdint>
#include "gui/drawer/IDrawer.h"

namespace s::gui::drawer {

// Sliders. Colours: 0 frame, 1 second (the filled part). Fonts: 0 value text.
class ISlider : public IDrawer {
 public:
  using Rect = platform::ui::Rect;

  // position from 0 (left or bottom) to 1.
  virtual void paintSlider(cairo_t* cr, const Rect& area, double position, bool vertical,
                           std::int32_t hotState) = 0;
};

}  // namespace s::gui::drawer

#pragma once

#include <cstdint>
#include "gui/drawer/IDrawer.h"

namespace s::gui::drawer {

// Pictures. Colours: 0 background (painted unless transparent).
class IImage : public IDrawer {
 public:
  using Rect = platform::ui::Rect;

  // Scales the picture into the area, keeping its proportions when keepRatio.
  virtual void paintImage(cairo_t* cr, const Rect& area, cairo_surface_t* image,
                          bool keepRatio) = 0;
};

}  // namespace s::gui::drawer

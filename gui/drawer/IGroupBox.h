#pragma once

#include <cstdint>
#include <string_view>

#include "gui/drawer/IDrawer.h"
#include "gui/drawer/IFont.h"

namespace s::gui::drawer {

// Group boxes. Colours: 0 frame. Fonts: 0 title.
class IGroupBox : public IDrawer {
 public:
  using Rect = platform::ui::Rect;

  virtual void paintGroupBox(cairo_t* cr, const Rect& area, std::u16string_view title,
                             const IFont* font) = 0;
};

}  // namespace s::gui::drawer

#pragma once

#include <cstdint>
#include <string_view>

#include "gui/drawer/IDrawer.h"
#include "gui/drawer/IFont.h"

namespace s::gui::drawer {

// Check boxes. Colours: 0 frame, 1 second (hover fill). Fonts: 0 text.
class ICheckBox : public IDrawer {
 public:
  using Rect = platform::ui::Rect;

  virtual void paintCheckBox(cairo_t* cr, const Rect& area, std::u16string_view text,
                             const IFont* font, bool checked, bool enabled,
                             std::int32_t hotState) = 0;
};

}  // namespace s::gui::drawer

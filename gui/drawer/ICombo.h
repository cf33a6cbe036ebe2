#pragma once

#include <cstdint>
#include <string_view>

#include "gui/drawer/IDrawer.h"
#include "gui/drawer/IFont.h"

namespace s::gui::drawer {

// Combo boxes. Colours: 0 frame, 1 field. Fonts: 0 text.
class ICombo : public IDrawer {
 public:
  using Rect = platform::ui::Rect;

  virtual void paintCombo(cairo_t* cr, const Rect& area, std::u16string_view text,
                          const IFont* font, bool open, std::int32_t hotState) = 0;
};

}  // namespace s::gui::drawer

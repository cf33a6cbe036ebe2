#pragma once

#include <cstdint>
#include <string_view>

#include "gui/drawer/IDrawer.h"
#include "gui/drawer/IFont.h"

namespace s::gui::drawer {

// Tab boxes. Colours: 0 frame. Fonts: 0 tab text.
class ITabBox : public IDrawer {
 public:
  using Rect = platform::ui::Rect;

  virtual void paintTab(cairo_t* cr, const Rect& area, std::u16string_view text, const IFont* font,
                        bool selected, std::int32_t hotState) = 0;
  virtual void paintPane(cairo_t* cr, const Rect& area) = 0;
};

}  // namespace s::gui::drawer

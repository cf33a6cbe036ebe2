#pragma once

#include <cstdint>
#include <string_view>

#include "gui/drawer/IDrawer.h"
#include "gui/drawer/IFont.h"
#include "gui/drawer/TextLayout.h"

namespace s::gui::drawer {

// Text of labels. Colours: 0 background, 2 third (link underline on hover). Fonts:
// 0 text, 1 disabled, 2 link, 3 link under the mouse or pressed.
class IText : public IDrawer {
 public:
  using Rect = platform::ui::Rect;

  virtual TextLayout::Size measureText(std::u16string_view text, const IFont* font,
                                       std::int32_t wrapWidth) = 0;
  // hotState: 0 none, 1 under the mouse, 2 pressed (links).
  virtual void paintText(cairo_t* cr, const Rect& area, std::u16string_view text, const IFont* font,
                         std::int32_t align, bool wrap, bool enabled, bool link,
                         std::int32_t hotState) = 0;
};

}  // namespace s::gui::drawer

#pragma once

#include <cstdint>
#include <string_view>

#include "gui/drawer/IDrawer.h"
#include "gui/drawer/IFont.h"

namespace s::gui::drawer {

// Push buttons. Colours: 0 frame, 1 face, 2 pressed and 3 hover surfaces (skinned look).
// Fonts: 0 caption, 1 glyph, 2 and 3 caption and glyph on the pressed surface. A caption
// beginning with "#" names a glyph (Glyphs) drawn instead of text.
class IButton : public IDrawer {
 public:
  using Rect = platform::ui::Rect;

  // hotState: 0 none, 1 under the mouse, 2 held down.
  virtual void paintButton(cairo_t* cr, const Rect& area, std::int32_t hotState,
                           std::u16string_view caption, bool drawFlag, const IFont* font,
                           bool enabled, bool pressedLook, bool drawFlag2) = 0;
};

}  // namespace s::gui::drawer

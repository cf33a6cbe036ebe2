#pragma once

#include <cstdint>
#include <string_view>

#include "gui/drawer/IDrawer.h"

namespace s::gui::drawer {

// Scroll bars. Colours: 0 frame, 1 face (thumb and arrows), 2 second (track). Fonts: 0 the
// arrows and the thumb's lines.
class IScrollBar : public IDrawer {
 public:
  using Rect = platform::ui::Rect;

  virtual void paintTrack(cairo_t* cr, const Rect& area, bool vertical) = 0;
  virtual void paintThumb(cairo_t* cr, const Rect& area, bool vertical, std::int32_t hotState) = 0;
  // An arrow button with the glyph "#Up", "#Down", "#Left" or "#Right".
  virtual void paintArrow(cairo_t* cr, const Rect& area, std::u16string_view glyph,
                          std::int32_t hotState) = 0;
};

}  // namespace s::gui::drawer

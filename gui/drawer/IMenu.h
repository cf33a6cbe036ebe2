#pragma once

#include <cstdint>
#include <string_view>

#include "gui/drawer/IDrawer.h"
#include "gui/drawer/IFont.h"

namespace s::gui::drawer {

// Menus. Colours: 0 text, 1 frame and highlight, 2 background. Fonts: 0 text,
// 1 disabled text, 2 marks, 3 text on the highlight.
class IMenu : public IDrawer {
 public:
  using Rect = platform::ui::Rect;

  virtual void paintMenuBackground(cairo_t* cr, const Rect& area) = 0;
  virtual void paintMenuItem(cairo_t* cr, const Rect& area, std::u16string_view text,
                             const IFont* font, bool highlighted, bool enabled, bool checked) = 0;
  virtual void paintSeparator(cairo_t* cr, const Rect& area) = 0;
};

}  // namespace s::gui::drawer

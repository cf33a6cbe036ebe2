#pragma once

#include <cstdint>
#include <string_view>

#include "gui/drawer/IDrawer.h"
#include "gui/drawer/IFont.h"

namespace s::gui::drawer {

// A skinned window's frame and caption row. Colours: 0 frame, 1 second (inactive caption),
// 2 third (caption), 3 fourth (caption buttons' hover). Fonts: 0 title, 1 inactive title,
// 3 highlighted text.
class IWindow : public IDrawer {
 public:
  using Rect = platform::ui::Rect;

  virtual void paintFrame(cairo_t* cr, const Rect& area, bool active) = 0;
  virtual void paintCaption(cairo_t* cr, const Rect& area, std::u16string_view title,
                            const IFont* font, bool active) = 0;
};

}  // namespace s::gui::drawer

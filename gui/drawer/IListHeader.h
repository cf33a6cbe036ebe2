#pragma once

#include <cstdint>
#include <string_view>

#include "gui/drawer/IDrawer.h"
#include "gui/drawer/IFont.h"

namespace s::gui::drawer {

// Column headers. Colours: 0 frame, 1 background. Fonts: 0 text, 1 the sort arrow.
class IListHeader : public IDrawer {
 public:
  using Rect = platform::ui::Rect;

  // sort: 0 none, 1 ascending, -1 descending.
  virtual void paintHeader(cairo_t* cr, const Rect& area, std::u16string_view text,
                           const IFont* font, std::int32_t hotState, std::int32_t sort) = 0;
};

}  // namespace s::gui::drawer

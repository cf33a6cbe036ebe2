#pragma once

#include <cstdint>
#include <string_view>

#include "gui/drawer/IDrawer.h"
#include "gui/drawer/IFont.h"

namespace s::gui::drawer {

// The mark left of an entry's text: a check, or the dot of the chosen entry of a radio group.
enum class MenuMark : std::uint8_t { kNone, kCheck, kRadio };

// How one entry of a pop-up menu looks now.
struct MenuEntryLook {
  bool highlighted = false;
  bool enabled = true;
  MenuMark mark = MenuMark::kNone;
  bool subMenu = false;  // an arrow at the right end
};

// Menus. Colours: 0 text, 1 frame and highlight, 2 background. Fonts: 0 text,
// 1 disabled text, 2 marks, 3 text on the highlight. 3 text on the highlight.
class IMenu : public IDrawer {
 public:
  using Rect = platform::ui::Rect;

  virtual void paintMenuBackground(cairo_t* cr, const Rect& area) = 0;
  virtual void paintMenuItem(cairo_t* cr, const Rect& area, std::u16string_view text,
                             const IFont* font, const MenuEntryLook& look) = 0;
  virtual void paintSeparator(cairo_t* cr, const Rect& area) = 0;
  // A title of the menu bar, centred in its area; `hot` under the mouse or open.
  virtual void paintMenuTitle(cairo_t* cr, const Rect& area, std::u16string_view text,
                              const IFont* font, bool hot) = 0;
};

}  // namespace s::gui::drawer

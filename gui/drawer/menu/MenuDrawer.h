#pragma once

#include "gui/drawer/DrawerBase.h"
#include "gui/drawer/IMenu.h"
#include "gui/drawer/Shapes.h"

namespace s::gui::drawer::menu {

// The painting of both looks; thin() chooses the skinned one over the plain one.
class MenuDrawer : public DrawerBase<IMenu> {
 public:
  MenuDrawer();

  void paintMenuBackground(cairo_t* cr, const Rect& area) override;
  void paintMenuItem(cairo_t* cr, const Rect& area, std::u16string_view text, const IFont* font,
                     const MenuEntryLook& look) override;
  void paintSeparator(cairo_t* cr, const Rect& area) override;
  void paintMenuTitle(cairo_t* cr, const Rect& area, std::u16string_view text, const IFont* font,
                      bool hot) override;

 protected:
  virtual bool thin() const = 0;
};

}  // namespace s::gui::drawer::menu

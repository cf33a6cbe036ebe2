#pragma once

#include "gui/drawer/DrawerBase.h"
#include "gui/drawer/IButton.h"

namespace s::gui::drawer::button {

// The painting of both looks; thin() chooses the skinned one over the plain one.
class ButtonDrawer : public DrawerBase<IButton> {
 public:
  ButtonDrawer();

  void paintButton(cairo_t* cr, const Rect& area, std::int32_t hotState,
                   std::u16string_view caption, bool drawFlag, const IFont* font, bool enabled,
                   bool pressedLook, bool drawFlag2) override;

 protected:
  virtual bool thin() const = 0;
};

}  // namespace s::gui::drawer::button

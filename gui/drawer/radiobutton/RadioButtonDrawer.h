#pragma once

#include "gui/drawer/DrawerBase.h"
#include "gui/drawer/IRadioButton.h"

namespace s::gui::drawer::radiobutton {

// The painting of both looks; thin() chooses the skinned one over the plain one.
class RadioButtonDrawer : public DrawerBase<IRadioButton> {
 public:
  RadioButtonDrawer();

  void paintRadioButton(cairo_t* cr, const Rect& area, std::u16string_view text, const IFont* font,
                        bool selected, bool enabled, std::int32_t hotState) override;

 protected:
  virtual bool thin() const = 0;
};

}  // namespace s::gui::drawer::radiobutton

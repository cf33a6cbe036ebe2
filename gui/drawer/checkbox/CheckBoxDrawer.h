#pragma once

#include "gui/drawer/DrawerBase.h"
#include "gui/drawer/ICheckBox.h"

namespace s::gui::drawer::checkbox {

// The painting of both looks; thin() chooses the skinned one over the plain one.
class CheckBoxDrawer : public DrawerBase<ICheckBox> {
 public:
  CheckBoxDrawer();

  void paintCheckBox(cairo_t* cr, const Rect& area, std::u16string_view text, const IFont* font,
                     bool checked, bool enabled, std::int32_t hotState) override;

 protected:
  virtual bool thin() const = 0;
};

}  // namespace s::gui::drawer::checkbox

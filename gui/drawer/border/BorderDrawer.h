#pragma once

#include "gui/drawer/DrawerBase.h"
#include "gui/drawer/IBorder.h"

namespace s::gui::drawer::border {

// The painting of both looks; thin() chooses the skinned one over the plain one.
class BorderDrawer : public DrawerBase<IBorder> {
 public:
  BorderDrawer();

  void paintBorder(cairo_t* cr, const Rect& area) override;

 protected:
  virtual bool thin() const = 0;
};

}  // namespace s::gui::drawer::border

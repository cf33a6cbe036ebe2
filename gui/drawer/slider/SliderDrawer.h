#pragma once

#include "gui/drawer/DrawerBase.h"
#include "gui/drawer/ISlider.h"

namespace s::gui::drawer::slider {

// The painting of both looks; thin() chooses the skinned one over the plain one.
class SliderDrawer : public DrawerBase<ISlider> {
 public:
  SliderDrawer();

  void paintSlider(cairo_t* cr, const Rect& area, double position, bool vertical,
                   std::int32_t hotState) override;

 protected:
  virtual bool thin() const = 0;
};

}  // namespace s::gui::drawer::slider

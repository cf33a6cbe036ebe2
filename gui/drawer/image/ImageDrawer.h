#pragma once

#include "gui/drawer/DrawerBase.h"
#include "gui/drawer/IImage.h"

namespace s::gui::drawer::image {

// The painting of both looks; thin() chooses the skinned one over the plain one.
class ImageDrawer : public DrawerBase<IImage> {
 public:
  ImageDrawer();

  void paintImage(cairo_t* cr, const Rect& area, cairo_surface_t* image, bool keepRatio) override;

 protected:
  virtual bool thin() const = 0;
};

}  // namespace s::gui::drawer::image

#pragma once

#include "gui/drawer/DrawerBase.h"
#include "gui/drawer/IWindow.h"

namespace s::gui::drawer::window {

// The painting of both looks; thin() chooses the skinned one over the plain one.
class WindowDrawer : public DrawerBase<IWindow> {
 public:
  WindowDrawer();

  void paintFrame(cairo_t* cr, const Rect& area, bool active) override;
  void paintCaption(cairo_t* cr, const Rect& area, std::u16string_view title, const IFont* font,
                    bool active) override;

 protected:
  virtual bool thin() const = 0;
};

}  // namespace s::gui::drawer::window

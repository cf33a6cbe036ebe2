#pragma once

#include "gui/drawer/DrawerBase.h"
#include "gui/drawer/IStatusBar.h"

namespace s::gui::drawer::statusbar {

// The painting of both looks; thin() chooses the skinned one over the plain one.
class StatusBarDrawer : public DrawerBase<IStatusBar> {
 public:
  StatusBarDrawer();

  void paintStatusBar(cairo_t* cr, const Rect& area) override;

 protected:
  virtual bool thin() const = 0;
};

}  // namespace s::gui::drawer::statusbar

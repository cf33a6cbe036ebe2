#pragma once

#include "gui/drawer/DrawerBase.h"
#include "gui/drawer/IGroupBox.h"

namespace s::gui::drawer::groupbox {

// The painting of both looks; thin() chooses the skinned one over the plain one.
class GroupBoxDrawer : public DrawerBase<IGroupBox> {
 public:
  GroupBoxDrawer();

  void paintGroupBox(cairo_t* cr, const Rect& area, std::u16string_view title,
                     const IFont* font) override;

 protected:
  virtual bool thin() const = 0;
};

}  // namespace s::gui::drawer::groupbox

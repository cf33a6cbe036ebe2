#pragma once

#include "gui/drawer/DrawerBase.h"
#include "gui/drawer/ITabBox.h"

namespace s::gui::drawer::tabbox {

// The painting of both looks; thin() chooses the skinned one over the plain one.
class TabBoxDrawer : public DrawerBase<ITabBox> {
 public:
  TabBoxDrawer();

  void paintTab(cairo_t* cr, const Rect& area, std::u16string_view text, const IFont* font,
                bool selected, std::int32_t hotState) override;
  void paintPane(cairo_t* cr, const Rect& area) override;

 protected:
  virtual bool thin() const = 0;
};

}  // namespace s::gui::drawer::tabbox

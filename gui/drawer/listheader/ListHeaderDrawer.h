#pragma once

#include "gui/drawer/DrawerBase.h"
#include "gui/drawer/IListHeader.h"

namespace s::gui::drawer::listheader {

// The painting of both looks; thin() chooses the skinned one over the plain one.
class ListHeaderDrawer : public DrawerBase<IListHeader> {
 public:
  ListHeaderDrawer();

  void paintHeader(cairo_t* cr, const Rect& area, std::u16string_view text, const IFont* font,
                   std::int32_t hotState, std::int32_t sort) override;

 protected:
  virtual bool thin() const = 0;
};

}  // namespace s::gui::drawer::listheader

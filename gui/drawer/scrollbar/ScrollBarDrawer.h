#pragma once

#include "gui/drawer/DrawerBase.h"
#include "gui/drawer/IScrollBar.h"

namespace s::gui::drawer::scrollbar {

// The painting of both looks; thin() chooses the skinned one over the plain one.
class ScrollBarDrawer : public DrawerBase<IScrollBar> {
 public:
  ScrollBarDrawer();

  void paintTrack(cairo_t* cr, const Rect& area, bool vertical) override;
  void paintThumb(cairo_t* cr, const Rect& area, bool vertical, std::int32_t hotState) override;
  void paintArrow(cairo_t* cr, const Rect& area, std::u16string_view glyph,
                  std::int32_t hotState) override;

 protected:
  virtual bool thin() const = 0;
};

}  // namespace s::gui::drawer::scrollbar

#pragma once

#include "gui/drawer/DrawerBase.h"
#include "gui/drawer/IText.h"
#include "gui/drawer/TextLayout.h"

namespace s::gui::drawer::text {

// The painting of both looks; thin() chooses the skinned one over the plain one.
class TextDrawer : public DrawerBase<IText> {
 public:
  TextDrawer();

  TextLayout::Size measureText(std::u16string_view text, const IFont* font,
                               std::int32_t wrapWidth) override;
  void paintText(cairo_t* cr, const Rect& area, std::u16string_view text, const IFont* font,
                 std::int32_t align, bool wrap, bool enabled, bool link,
                 std::int32_t hotState) override;

 protected:
  virtual bool thin() const = 0;
};

}  // namespace s::gui::drawer::text

#pragma once

#include "gui/drawer/DrawerBase.h"
#include "gui/drawer/ICombo.h"

namespace s::gui::drawer::combo {

// The painting of both looks; thin() chooses the skinned one over the plain one.
class ComboDrawer : public DrawerBase<ICombo> {
 public:
  ComboDrawer();

  void paintCombo(cairo_t* cr, const Rect& area, std::u16string_view text, const IFont* font,
                  bool open, std::int32_t hotState) override;

 protected:
  virtual bool thin() const = 0;
};

}  // namespace s::gui::drawer::combo

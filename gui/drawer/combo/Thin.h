#pragma once

#include <string_view>

#include "framework/base/Pooled.h"
#include "gui/drawer/combo/ComboDrawer.h"

namespace s::gui::drawer::combo::win {

// The skinned look: flat one-pixel lines in the skin's colours.
class Thin final : public Pooled<Thin, ComboDrawer> {
 public:
  std::u16string_view className() const override { return u"s_gui_drawer_combo_win_Thin"; }

 protected:
  bool thin() const override { return true; }
};

}  // namespace s::gui::drawer::combo::win

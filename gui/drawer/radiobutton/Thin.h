#pragma once

#include <string_view>

#include "framework/base/Pooled.h"
#include "gui/drawer/radiobutton/RadioButtonDrawer.h"

namespace s::gui::drawer::radiobutton::win {

// The skinned look: flat one-pixel lines in the skin's colours.
class Thin final : public Pooled<Thin, RadioButtonDrawer> {
 public:
  std::u16string_view className() const override { return u"s_gui_drawer_radiobutton_win_Thin"; }

 protected:
  bool thin() const override { return true; }
};

}  // namespace s::gui::drawer::radiobutton::win

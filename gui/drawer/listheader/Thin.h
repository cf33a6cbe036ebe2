#pragma once

#include <string_view>

#include "framework/base/Pooled.h"
#include "gui/drawer/listheader/ListHeaderDrawer.h"

namespace s::gui::drawer::listheader::win {

// The skinned look: flat one-pixel lines in the skin's colours.
class Thin final : public Pooled<Thin, ListHeaderDrawer> {
 public:
  std::u16string_view className() const override { return u"s_gui_drawer_listheader_win_Thin"; }

 protected:
  bool thin() const override { return true; }
};

}  // namespace s::gui::drawer::listheader::win

#pragma once

#include <string_view>

#include "framework/base/Pooled.h"
#include "gui/drawer/text/TextDrawer.h"

namespace s::gui::drawer::text::win {

// The plain look, the default of a component without a skin.
class Basic final : public Pooled<Basic, TextDrawer> {
 public:
  std::u16string_view className() const override { return u"s_gui_drawer_text_win_Basic"; }

 protected:
  bool thin() const override { return false; }
};

}  // namespace s::gui::drawer::text::win

#pragma once

#include <string_view>

#include "framework/base/Pooled.h"
#include "gui/drawer/SkinBase.h"

namespace s::gui::drawer::skin {

// A skin of the "Thin" family: six colours, the window frame left to the desktop.
class Thin final : public Pooled<Thin, SkinBase> {
 public:
  std::u16string_view className() const override { return u"s_gui_drawer_skin_Thin"; }
};

}  // namespace s::gui::drawer::skin

#pragma once

#include <string_view>

#include "framework/base/Pooled.h"
#include "gui/drawer/SkinBase.h"

namespace s::gui::drawer::skin {

// A skin of the "ThinWindow" family: fifteen colours, the window frame and caption skinned too.
class ThinWindow final : public Pooled<ThinWindow, SkinBase> {
 public:
  std::u16string_view className() const override { return u"s_gui_drawer_skin_ThinWindow"; }
};

}  // namespace s::gui::drawer::skin

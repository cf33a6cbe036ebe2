#pragma once

#include <string_view>

#include "framework/base/Pooled.h"
#include "gui/drawer/slider/SliderDrawer.h"

namespace s::gui::drawer::slider::win {

// The skinned look: flat one-pixel lines in the skin's colours.
class Thin final : public Pooled<Thin, SliderDrawer> {
 public:
  std::u16string_view className() const override { return u"s_gui_drawer_slider_win_Thin"; }

 protected:
  bool thin() const override { return true; }
};

}  // namespace s::gui::drawer::slider::win

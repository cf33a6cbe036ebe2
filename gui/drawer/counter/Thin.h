#pragma once

#include <string_view>

#include "framework/base/Pooled.h"
#include "gui/drawer/counter/CounterDrawer.h"

namespace s::gui::drawer::counter::win {

// The skinned look of the graph, in the skin's two counter colours.
class Thin final : public Pooled<Thin, CounterDrawer> {
 public:
  std::u16string_view className() const override { return u"s_gui_drawer_counter_win_Thin"; }
};

}  // namespace s::gui::drawer::counter::win

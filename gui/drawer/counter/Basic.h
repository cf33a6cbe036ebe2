#pragma once

#include <string_view>

#include "framework/base/Pooled.h"
#include "gui/drawer/counter/CounterDrawer.h"

namespace s::gui::drawer::counter::win {

// The plain look of the graph, the default of a counter without a skin.
class Basic final : public Pooled<Basic, CounterDrawer> {
 public:
  std::u16string_view className() const override { return u"s_gui_drawer_counter_win_Basic"; }
};

}  // namespace s::gui::drawer::counter::win

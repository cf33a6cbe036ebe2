#pragma once

#include <string_view>

#include "framework/base/Pooled.h"
#include "gui/layout/Switcher.h"

namespace s::gui::events {

// Disables its targets on an event from its source.
class Disabler final : public Pooled<Disabler, Switcher> {
 public:
  Disabler() : Pooled<Disabler, Switcher>(false) {}
  std::u16string_view className() const override { return u"s_gui_events_Disabler"; }
};

}  // namespace s::gui::events

#pragma once

#include <string_view>

#include "framework/base/Pooled.h"
#include "gui/layout/Switcher.h"

namespace s::gui::events {

// Enables its targets on an event from its source.
class Enabler final : public Pooled<Enabler, Switcher> {
 public:
  Enabler() : Pooled<Enabler, Switcher>(true) {}
  std::u16string_view className() const override { return u"s_gui_events_Enabler"; }
};

}  // namespace s::gui::events

#pragma once

#include "gui/drawer/ISkin.h"
#include "gui/layout/Component.h"
#include "gui/layout/Window.h"

namespace s::gui::win {

// The skin of the window a component is in; null without one.
inline drawer::ISkin* skinOf(const Component& component) {
  auto* window = dynamic_cast<Window*>(component.getWindow());
  return window != nullptr ? window->getSkin() : nullptr;
}

inline Window* windowOf(const Component& component) {
  return dynamic_cast<Window*>(component.getWindow());
}

// Where the component's texts by id come from: its window's localizer, once it is in one.
inline lang::Localizer* localizerOf(const Component& component) {
  Window* window = windowOf(component);
  return window != nullptr && component.created() ? window->getLocalizer() : nullptr;
}

}  // namespace s::gui::win

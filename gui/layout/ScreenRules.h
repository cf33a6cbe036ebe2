#pragma once

#include <span>

#include "platform/ui/Rect.h"

namespace s::gui::win {

// The virtual screen: the union of the monitors' rectangles.
platform::ui::Rect virtualScreen(std::span<const platform::ui::Rect> monitors);
// A window counts as on the screen when it is more than 10 pixels wide and high and overlaps the
// screen by more than 9 pixels across and down.
bool isOnScreen(const platform::ui::Rect& window, const platform::ui::Rect& screen);

}  // namespace s::gui::win

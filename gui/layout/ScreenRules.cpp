#include "gui/layout/ScreenRules.h"

#include <algorithm>

namespace s::gui::win {

using platform::ui::Rect;

Rect virtualScreen(std::span<const Rect> monitors) {
  if (monitors.empty()) {
    return {};
  }
  std::int32_t left = monitors.front().x;
  std::int32_t top = monitors.front().y;
  std::int32_t right = left + monitors.front().width;
  std::int32_t bottom = top + monitors.front().height;
  for (const Rect& m : monitors) {
    left = std::min(left, m.x);
    top = std::min(top, m.y);
    right = std::max(right, m.x + m.width);
    bottom = std::max(bottom, m.y + m.height);
  }
  return {left, top, right - left, bottom - top};
}

bool isOnScreen(const Rect& window, const Rect& screen) {
  constexpr std::int32_t kOverlap = 10;
  return window.width > kOverlap && window.height > kOverlap &&
         window.x <= screen.x + screen.width - kOverlap &&
         window.x + window.width > screen.x + kOverlap - 1 &&
         window.y <= screen.y + screen.height - kOverlap &&
         window.y + window.height > screen.y + kOverlap - 1;
}

}  // namespace s::gui::win

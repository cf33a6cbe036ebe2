#include "gui/widgets/ScrollInfo.h"

#include <algorithm>

namespace s::gui::scrollbar::win {

std::int32_t ScrollInfo::clamped(std::int32_t at) const {
  return std::clamp(at, 0, maxPosition());
}

}  // namespace s::gui::scrollbar::win

#pragma once

#include <cstdint>
#include <span>

#include "platform/ui/Rect.h"

namespace s::gui::win {

// Where a pop-up goes relative to its anchor: below it (its top at the anchor's bottom), above
// it (its bottom at the anchor's top), or beside it (a sub-menu: right of its parent's entry,
// top edges level).
enum class MenuSide : std::uint8_t { kBelow, kAbove, kBeside };

// The screen rectangle of a pop-up of `width` × `height` at `anchor` (screen coordinates; an
// empty rectangle is a point). It stays on the monitor that holds the anchor's corner: a menu
// that would leave it flips to the other side of the anchor when it fits there, and is shifted
// back onto the monitor otherwise. `beside` is the parent menu's rectangle for kBeside (a
// sub-menu flips to its left). No monitors: the anchor's point is taken as it is.
platform::ui::Rect placeMenu(std::int32_t width, std::int32_t height,
                             const platform::ui::Rect& anchor, MenuSide side,
                             const platform::ui::Rect& beside,
                             std::span<const platform::ui::Rect> monitors);

}  // namespace s::gui::win

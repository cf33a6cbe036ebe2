#pragma once

#include <cstdint>
#include <optional>

#include "platform/ui/MoveResize.h"
#include "platform/ui/PointerShape.h"

namespace s::gui::win {

// The edges and corners by which a skinned window (whose frame the skin draws) is sized: the
// zone at (x, y) from the window's top-left corner in a window of width × height, none inside.
// Within 5 pixels of an edge; the corners take the 30 pixels at either end of the sides.
std::optional<platform::ui::MoveResize> resizeZoneAt(std::int32_t x, std::int32_t y,
                                                     std::int32_t width, std::int32_t height);
// The pointer shape that shows the zone.
platform::ui::PointerShape pointerFor(platform::ui::MoveResize zone);

}  // namespace s::gui::win

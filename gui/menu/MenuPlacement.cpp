#include "gui/menu/MenuPlacement.h"

#include <algorithm>

namespace s::gui::win {

using platform::ui::Rect;

namespace {

bool holds(const Rect& monitor, std::int32_t x, std::int32_t y) {
  return x >= monitor.x && y >= monitor.y && x < monitor.x + monitor.width &&
         y < monitor.y + monitor.height;
}

// The monitor under the point, else the one nearest to it.
Rect monitorAt(std::int32_t x, std::int32_t y, std::span<const Rect> monitors) {
  Rect best = monitors.front();
  std::int64_t bestDistance = -1;
  for (const Rect& m : monitors) {
    if (holds(m, x, y)) {
      return m;
    }
    const std::int64_t dx = std::max({m.x - x, 0, x - (m.x + m.width - 1)});
    const std::int64_t dy = std::max({m.y - y, 0, y - (m.y + m.height - 1)});
    const std::int64_t distance = dx * dx + dy * dy;
    if (bestDistance < 0 || distance < bestDistance) {
      bestDistance = distance;
      best = m;
    }
  }
  return best;
}

std::int32_t shiftOnto(std::int32_t start, std::int32_t size, std::int32_t low,
                       std::int32_t extent) {
  return std::max(low, std::min(start, low + extent - size));
}

}  // namespace

Rect placeMenu(std::int32_t width, std::int32_t height, const Rect& anchor, MenuSide side,
               const Rect& beside, std::span<const Rect> monitors) {
  Rect out{anchor.x, anchor.y, width, height};
  switch (side) {
    case MenuSide::kBelow:
      out.y = anchor.y + anchor.height;
      break;
    case MenuSide::kAbove:
      out.y = anchor.y - height;
      break;
    case MenuSide::kBeside:
      out.x = beside.x + beside.width;
      break;
  }
  if (monitors.empty()) {
    return out;
  }
  const Rect m = monitorAt(anchor.x, anchor.y, monitors);
  const std::int32_t right = m.x + m.width;
  const std::int32_t bottom = m.y + m.height;
  switch (side) {
    case MenuSide::kBelow:
      if (out.y + height > bottom && anchor.y - height >= m.y) {
        out.y = anchor.y - height;
      }
      break;
    case MenuSide::kAbove:
      if (out.y < m.y && anchor.y + anchor.height + height <= bottom) {
        out.y = anchor.y + anchor.height;
      }
      break;
    case MenuSide::kBeside:
      if (out.x + width > right && beside.x - width >= m.x) {
        out.x = beside.x - width;
      }
      break;
  }
  out.x = shiftOnto(out.x, width, m.x, m.width);
  out.y = shiftOnto(out.y, height, m.y, m.height);
  return out;
}

}  // namespace s::gui::win

#pragma once

#include <cstdint>
#include "gui/drawer/IDrawer.h"
#include "gui/drawer/IGraphSeries.h"

namespace s::gui::drawer {

// Traffic graphs. Colours: 0 first series, 1 second series, 2 background (painted
// unless transparent, the default).
class ICounter : public IDrawer {
 public:
  using Rect = platform::ui::Rect;

  // mode 0 columns from the bottom, 1 a horizontal bar, 2 centred columns; second may be
  // null. Each series is read under its lock.
  virtual void paintGraph(cairo_t* cr, const Rect& area, std::int32_t mode, IGraphSeries* first,
                          IGraphSeries* second, bool swapColours) = 0;
};

}  // namespace s::gui::drawer

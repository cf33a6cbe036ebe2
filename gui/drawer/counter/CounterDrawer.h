#pragma once

#include "gui/drawer/DrawerBase.h"
#include "gui/drawer/ICounter.h"

namespace s::gui::drawer::counter {

// The graph of one or two series; both looks draw it alike, in their own colours.
class CounterDrawer : public DrawerBase<ICounter> {
 public:
  CounterDrawer();

  void paintGraph(cairo_t* cr, const Rect& area, std::int32_t mode, IGraphSeries* first,
                  IGraphSeries* second, bool swapColours) override;

  // trunc((point − base) × size / range), in 64-bit integers with a floating division.
  static std::int64_t scaled(std::int64_t point, std::int64_t base, std::int64_t size,
                             std::int64_t range);

 private:
  void paintBar(cairo_t* cr, const Rect& area, IGraphSeries& series, std::int64_t scale,
                Rgb colour);
  void paintColumns(cairo_t* cr, const Rect& area, bool centred, IGraphSeries& series,
                    std::int64_t scale, Rgb colour);
};

}  // namespace s::gui::drawer::counter

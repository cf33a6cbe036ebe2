#pragma once

#include <cstdint>
#include <string_view>

#include "framework/base/MaybeOwned.h"
#include "framework/base/Pooled.h"
#include "gui/drawer/ICounter.h"
#include "gui/drawer/counter/Basic.h"
#include "gui/layout/Box.h"
#include "gui/layout/BoxBase.h"
#include "gui/widgets/CounterData.h"

namespace s::gui::win {

// A traffic graph of one or two series, drawn by the skin's counter drawer: mode 0 columns from
// the bottom, 1 a horizontal bar of the current point, 2 centred columns. The graph repaints
// when either series begins a new point.
class Counter final : public Pooled<Counter, BoxBase> {
 public:
  Counter();

  static Counter* newCounter(std::int32_t widthPercent, std::int32_t heightPercent);

  counter::CounterData* getSeries1() { return &series1_; }
  counter::CounterData* getSeries2() { return &series2_; }
  void setMode(std::int32_t mode);
  std::int32_t getMode() const { return mode_; }
  // Exchanges the two series' colours.
  void toggle();
  void setInsets(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
  void setShowSecond(bool show);
  void setDrawer(drawer::ICounter* drawer, bool owned);

  void paint(cairo_t* cr) override;
  void reset() override;
  std::u16string_view className() const override { return u"s_gui_win_Counter"; }

 private:
  drawer::ICounter* graphDrawer();
  // The colour beneath a counter that takes its parent's background.
  drawer::Rgb underlyingColour() const;

  Box* area_ = nullptr;
  // Held by value, not taken from their pools, which may go first at exit.
  counter::CounterData series1_;
  counter::CounterData series2_;
  bool showSecond_ = false;
  MaybeOwned<drawer::ICounter> drawer_;
  drawer::counter::win::Basic basic_;
  std::int32_t mode_ = 0;
  bool swapColours_ = false;
  std::int32_t left_ = 0;
  std::int32_t top_ = 0;
  std::int32_t right_ = 0;
  std::int32_t bottom_ = 0;
};

}  // namespace s::gui::win

#pragma once

#include <cstdint>
#include <string_view>

#include "framework/base/ObjLocker.h"
#include "framework/base/Pooled.h"
#include "framework/col/Array.h"
#include "framework/col/ArrayP.h"
#include "gui/drawer/IGraphSeries.h"
#include "gui/drawer/Rgb.h"
#include "gui/layout/IComponent.h"

namespace s::gui::counter {

// One data series of a traffic graph: a ring of points filled by add() on any thread and read
// by the graph's drawer on the window's thread, both under lock().
class CounterData final : public Pooled<CounterData, PoolableObject>, public drawer::IGraphSeries {
 public:
  static constexpr std::uint32_t kRingSize = 1000;

  CounterData() = default;
  void reset() override;
  std::u16string_view className() const override { return u"s_gui_counter_CounterData"; }

  // Makes the ring kRingSize points long, every point = base.
  void prepare();
  // Adds v to the current point, or begins a new point once samplesPerPoint additions went
  // into it; a new point repaints the viewers.
  void add(std::int64_t value);
  void addViewer(IComponent* viewer);

  bool isUnbounded() const override { return unbounded_; }
  void setUnbounded(bool unbounded) { unbounded_ = unbounded; }
  std::int64_t getScaleFloor() const { return scaleFloor_; }
  void setScaleFloor(std::int64_t floor) { scaleFloor_ = floor; }
  std::int64_t getMaximum() const override { return maximum_; }
  void setMaximum(std::int64_t maximum) { maximum_ = maximum; }
  std::int64_t getBase() const override { return base_; }
  void setBase(std::int64_t base) { base_ = base; }
  std::int32_t getSamplesPerPoint() const { return samplesPerPoint_; }
  void setSamplesPerPoint(std::int32_t samples) { samplesPerPoint_ = samples; }
  std::int32_t getSamplesInPoint() const { return samplesInPoint_; }
  bool hasThinMarks() const override { return thinMarks_; }
  void setThinMarks(bool thin) { thinMarks_ = thin; }
  bool hasOwnColour() const override { return ownColour_; }
  drawer::Rgb getColour() const override { return colour_; }
  void setColour(drawer::Rgb colour) {
    colour_ = colour;
    ownColour_ = true;
  }
  void setOwnColour(bool own) { ownColour_ = own; }

  // Reading, under lock(): the ring's length, the current index and the point `back` steps
  // before the current one (0 is the current point).
  thread::ObjLocker& lock() override { return lock_; }
  std::uint32_t size() const override { return points_.count(); }
  std::int32_t getPosition() const { return position_; }
  std::int64_t pointBack(std::uint32_t back) const override;
  // The full-scale value: the maximum when bounded; else the largest of scaleFloor and the
  // `count` points examined, starting `from` steps back (never more than size() - 1 points).
  std::int64_t fullScale(std::uint32_t from, std::uint32_t count) const override;

 private:
  bool unbounded_ = false;
  std::int64_t scaleFloor_ = 100;
  std::int64_t maximum_ = 100;
  std::int64_t base_ = 0;
  std::int32_t samplesPerPoint_ = 1;
  std::int32_t samplesInPoint_ = 0;
  col::ArrayS64 points_;
  std::int32_t position_ = 0;
  thread::ObjLocker lock_;
  col::ArrayP<IComponent> viewers_;
  bool thinMarks_ = false;
  bool ownColour_ = false;
  drawer::Rgb colour_ = 0;
};

}  // namespace s::gui::counter

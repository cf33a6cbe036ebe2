#include "gui/widgets/CounterData.h"

#include <algorithm>
#include <mutex>

namespace s::gui::counter {

void CounterData::reset() {
  std::lock_guard<thread::ObjLocker> hold(lock_);
  unbounded_ = false;
  scaleFloor_ = 100;
  maximum_ = 100;
  base_ = 0;
  samplesPerPoint_ = 1;
  samplesInPoint_ = 0;
  points_.freeMemory();
  position_ = 0;
  viewers_.clear();
  thinMarks_ = false;
  ownColour_ = false;
  colour_ = 0;
}

void CounterData::prepare() {
  std::lock_guard<thread::ObjLocker> hold(lock_);
  points_.setCount(kRingSize);
  std::fill(points_.begin(), points_.end(), base_);
  position_ = 0;
  samplesInPoint_ = 0;
}

void CounterData::add(std::int64_t value) {
  bool begun = false;
  {
    std::lock_guard<thread::ObjLocker> hold(lock_);
    if (points_.count() == 0) {
      // A series used before prepare() gets its ring now rather than writing past nothing.
      prepare();
    }
    std::int64_t& point = points_.at(static_cast<std::uint32_t>(position_));
    if (samplesInPoint_ < samplesPerPoint_) {
      ++samplesInPoint_;
      point += value;
    } else {
      position_ = (position_ + 1) % static_cast<std::int32_t>(points_.count());
      samplesInPoint_ = 1;
      points_.at(static_cast<std::uint32_t>(position_)) = base_ + value;
      begun = true;
    }
    std::int64_t& current = points_.at(static_cast<std::uint32_t>(position_));
    if (!unbounded_ && current > maximum_) {
      current = maximum_;
    }
  }
  if (begun) {
    for (IComponent* viewer : viewers_) {
      viewer->repaint();
    }
  }
}

void CounterData::addViewer(IComponent* viewer) {
  std::lock_guard<thread::ObjLocker> hold(lock_);
  viewers_.push(viewer);
}

std::int64_t CounterData::pointBack(std::uint32_t back) const {
  const auto n = static_cast<std::int64_t>(points_.count());
  if (n == 0) {
    return base_;
  }
  const std::int64_t index = ((position_ - static_cast<std::int64_t>(back)) % n + n) % n;
  return points_.at(static_cast<std::uint32_t>(index));
}

std::int64_t CounterData::fullScale(std::uint32_t from, std::uint32_t count) const {
  if (!unbounded_) {
    return maximum_;
  }
  std::int64_t scale = scaleFloor_;
  const std::uint32_t limit = size() > 0 ? size() - 1 : 0;
  count = std::min(count, limit);
  for (std::uint32_t i = 0; i < count; ++i) {
    scale = std::max(scale, pointBack(from + i));
  }
  return scale;
}

}  // namespace s::gui::counter

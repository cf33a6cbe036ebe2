#pragma once

#include <cstdint>

#include "framework/base/ObjLocker.h"
#include "gui/drawer/Rgb.h"

namespace s::gui::drawer {

// What a graph drawer reads of one data series (the traffic graph's CounterData), all of it
// under lock(): the series is filled on other threads.
class IGraphSeries {
 public:
  virtual ~IGraphSeries() = default;

  virtual thread::ObjLocker& lock() = 0;
  // The ring's length and the point `back` steps before the current one (0 is the current).
  virtual std::uint32_t size() const = 0;
  virtual std::int64_t pointBack(std::uint32_t back) const = 0;
  // The full-scale value for `count` points starting `from` steps back.
  virtual std::int64_t fullScale(std::uint32_t from, std::uint32_t count) const = 0;
  virtual std::int64_t getBase() const = 0;
  virtual std::int64_t getMaximum() const = 0;
  virtual bool isUnbounded() const = 0;
  virtual bool hasThinMarks() const = 0;
  // A colour of the series' own, in place of the drawer's.
  virtual bool hasOwnColour() const = 0;
  virtual Rgb getColour() const = 0;
};

}  // namespace s::gui::drawer

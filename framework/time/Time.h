#pragma once

#include <cstdint>

#include "framework/base/Pooled.h"
#include "framework/time/TimeMs.h"

namespace s::time {

// One moment in broken-down calendar form. The fields are always those of fileTime(), in
// the same zone as the file time (local time for fromUtcMs()).
class Time final : public Pooled<Time, PoolableObject> {
 public:
  Time() { reset(); }

  // Set to the local time of ms.
  static PoolPtr<Time> fromUtcMs(TimeMs ms);
  static PoolPtr<Time> nowLocal() { return fromUtcMs(nowMs()); }

  // Sets the moment and its fields; false (and unchanged) for a file time the calendar
  // cannot express.
  bool setFileTime(FileTime fileTime);
  // 1970-01-01 00:00:00.000, a Thursday.
  void reset() override;

  FileTime fileTime() const { return fileTime_; }
  uint16_t year() const { return year_; }
  uint8_t month() const { return month_; }          // 1-12
  uint8_t dayOfWeek() const { return dayOfWeek_; }  // 0 = Sunday
  uint8_t day() const { return day_; }              // 1-31
  uint8_t hour() const { return hour_; }
  uint8_t minute() const { return minute_; }
  uint8_t second() const { return second_; }
  uint16_t millisecond() const { return millisecond_; }

  std::u16string_view className() const override { return u"s_time_Time"; }

 private:
  FileTime fileTime_ = 0;
  uint16_t year_ = 0;
  uint8_t month_ = 0;
  uint8_t dayOfWeek_ = 0;
  uint8_t day_ = 0;
  uint8_t hour_ = 0;
  uint8_t minute_ = 0;
  uint8_t second_ = 0;
  uint16_t millisecond_ = 0;
};

}  // namespace s::time

#include "framework/time/Time.h"

#include <ctime>

namespace s::time {

PoolPtr<Time> Time::fromUtcMs(TimeMs ms) {
  PoolPtr<Time> time = make();
  time->setFileTime(msToFileTime(utcToLocalMs(ms)));
  return time;
}

bool Time::setFileTime(FileTime fileTime) {
  // Like the platform's calendar conversion, file times from 2^63 on are refused.
  if (fileTime > static_cast<FileTime>(INT64_MAX)) {
    return false;
  }
  auto units = static_cast<int64_t>(fileTime);
  // Seconds since 1601 and since 1970; the zone is the file time's own, hence gmtime.
  int64_t seconds1601 = units / 10000000;
  time_t seconds =
      static_cast<time_t>(seconds1601 - static_cast<int64_t>(kFileTimeOf1970 / 10000000));
  tm fields{};
  if (gmtime_r(&seconds, &fields) == nullptr || fields.tm_year + 1900 > UINT16_MAX) {
    return false;
  }
  fileTime_ = fileTime;
  year_ = static_cast<uint16_t>(fields.tm_year + 1900);
  month_ = static_cast<uint8_t>(fields.tm_mon + 1);
  dayOfWeek_ = static_cast<uint8_t>(fields.tm_wday);
  day_ = static_cast<uint8_t>(fields.tm_mday);
  hour_ = static_cast<uint8_t>(fields.tm_hour);
  minute_ = static_cast<uint8_t>(fields.tm_min);
  second_ = static_cast<uint8_t>(fields.tm_sec);
  millisecond_ = static_cast<uint16_t>(units / 10000 % 1000);
  return true;
}

void Time::reset() {
  fileTime_ = kFileTimeOf1970;
  year_ = 1970;
  month_ = 1;
  dayOfWeek_ = 4;
  day_ = 1;
  hour_ = 0;
  minute_ = 0;
  second_ = 0;
  millisecond_ = 0;
}

}  // namespace s::time

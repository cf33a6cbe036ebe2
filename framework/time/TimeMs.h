#pragma once

#include <cstdint>

namespace s::time {

// Milliseconds since 1970-01-01 00:00:00 UTC: the one scale the program computes with.
using TimeMs = int64_t;
// 100-nanosecond units since 1601-01-01 UTC.
using FileTime = uint64_t;

// The file time of 1970-01-01 00:00:00 UTC.
inline constexpr FileTime kFileTimeOf1970 = 116444736000000000ULL;

TimeMs nowMs();

constexpr TimeMs fileTimeToMs(FileTime ft) {
  return static_cast<TimeMs>(ft - kFileTimeOf1970) / 10000;
}

constexpr FileTime msToFileTime(TimeMs ms) {
  return static_cast<FileTime>(ms) * 10000 + kFileTimeOf1970;
}

constexpr FileTime secondsToFileTime(int64_t seconds) {
  return static_cast<FileTime>(seconds) * 10000000 + kFileTimeOf1970;
}

// The same moment on the local clock of the system's current zone.
TimeMs utcToLocalMs(TimeMs ms);

}  // namespace s::time

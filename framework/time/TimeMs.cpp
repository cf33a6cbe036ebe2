#include "framework/time/TimeMs.h"

#include <ctime>

namespace s::time {

namespace {

// Whole seconds, rounded down so that moments before 1970 fall in the right second.
time_t floorSeconds(TimeMs ms) {
  return static_cast<time_t>(ms / 1000 - (ms % 1000 < 0 ? 1 : 0));
}

}  // namespace

TimeMs nowMs() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  FileTime ft = secondsToFileTime(now.tv_sec) + static_cast<FileTime>(now.tv_nsec / 100);
  return fileTimeToMs(ft);
}

TimeMs utcToLocalMs(TimeMs ms) {
  time_t seconds = floorSeconds(ms);
  tm local{};
  if (localtime_r(&seconds, &local) == nullptr) {
    return ms;
  }
  return fileTimeToMs(msToFileTime(ms) + static_cast<FileTime>(local.tm_gmtoff) * 10000000);
}

}  // namespace s::time

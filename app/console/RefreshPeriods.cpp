#include "app/console/RefreshPeriods.h"

#include "framework/lang/TextIds.h"

namespace s::app::console {

namespace ids = lang::text;

const std::array<RefreshPeriod, 10> kRefreshPeriods = {{
    {kRealTime, ids::kRefreshRealTime, "realtime"},
    {500, ids::kRefreshHalfSecond, "0.5s"},
    {1000, ids::kRefresh1Second, "1s"},
    {2000, ids::kRefresh2Seconds, "2s"},
    {3000, ids::kRefresh3Seconds, "3s"},
    {5000, ids::kRefresh5Seconds, "5s"},
    {10000, ids::kRefresh10Seconds, "10s"},
    {30000, ids::kRefresh30Seconds, "30s"},
    {60000, ids::kRefresh1Minute, "1m"},
    {300000, ids::kRefresh5Minutes, "5m"},
}};

namespace {

constexpr uint32_t kOneSecondPosition = 2;

// Milliseconds of a decimal number of `unitMs` units with at most three decimals; false
// for anything else or beyond an hour's worth of minutes.
bool scaled(std::string_view number, uint64_t unitMs, uint64_t& ms) {
  uint64_t whole = 0;
  uint64_t fraction = 0;
  uint64_t fractionScale = 1;
  bool point = false;
  bool digits = false;
  for (char c : number) {
    if (c == '.' && !point) {
      point = true;
    } else if (c >= '0' && c <= '9') {
      digits = true;
      if (point) {
        if (fractionScale == 1000) {
          return false;
        }
        fraction = fraction * 10 + static_cast<uint64_t>(c - '0');
        fractionScale *= 10;
      } else if ((whole = whole * 10 + static_cast<uint64_t>(c - '0')) > 100000) {
        return false;
      }
    } else {
      return false;
    }
  }
  uint64_t thousandths = whole * 1000 + fraction * (1000 / fractionScale);
  if (!digits || thousandths * unitMs % 1000 != 0) {
    return false;
  }
  ms = thousandths * unitMs / 1000;
  return true;
}

}  // namespace

uint32_t periodPosition(int64_t storedMs) {
  for (uint32_t i = 0; i < kRefreshPeriods.size(); ++i) {
    if (kRefreshPeriods[i].ms == storedMs) {
      return i;
    }
  }
  return kOneSecondPosition;
}

bool parsePeriod(std::string_view text, uint32_t& ms) {
  if (text == "realtime" || text == "real-time") {
    ms = kRealTime;
    return true;
  }
  uint64_t unitMs = 1000;
  if (text.ends_with("ms")) {
    unitMs = 1;
    text.remove_suffix(2);
  } else if (text.ends_with("s")) {
    text.remove_suffix(1);
  } else if (text.ends_with("m")) {
    unitMs = 60000;
    text.remove_suffix(1);
  }
  uint64_t value = 0;
  if (!scaled(text, unitMs, value)) {
    return false;
  }
  for (const RefreshPeriod& period : kRefreshPeriods) {
    // "Real Time" has its own name: 1 ms is not a period anyone types.
    if (period.ms != kRealTime && period.ms == value) {
      ms = period.ms;
      return true;
    }
  }
  return false;
}

}  // namespace s::app::console

#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace s::app::console {

// One entry of the "Refresh Frequency" menu: the period the cycle is given (1 stands for
// "Real Time"), the menu text and the spelling `--period` takes.
struct RefreshPeriod {
  uint32_t ms;
  int32_t textId;
  std::string_view option;
};

inline constexpr uint32_t kRealTime = 1;
inline constexpr uint32_t kDefaultPeriodMs = 1000;
// The menu's entries in menu order.
extern const std::array<RefreshPeriod, 10> kRefreshPeriods;

// The menu position of a stored "RefreshFrequency"; a value the menu lacks is "1 Second".
uint32_t periodPosition(int64_t storedMs);
// The period `text` names: "realtime" (or "real-time"), or a number of seconds or minutes
// such as "0.5", "0.5s", "30s", "5m" that is one of the menu's periods. False otherwise.
bool parsePeriod(std::string_view text, uint32_t& ms);

}  // namespace s::app::console

#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/str/StrBuffer.h"
#include "framework/time/TimeMs.h"

namespace s::time {

// The duration-unit slots, in order.
enum TimeUnit : uint32_t { kDays = 0, kHours = 1, kMinutes = 2, kSeconds = 3 };

inline constexpr uint32_t kUnitSlots = 4;
inline constexpr uint32_t kMonthSlots = 12;
// Units a slot holds; longer texts are cut.
inline constexpr uint32_t kSlotLength = 63;

// The unit letters ("d", "h", "m", "s") and month names ("Jan" ... "Dec") of the texts
// below, replaced by the language pack's. An index out of range is ignored.
void setUnitText(uint32_t unit, std::u16string_view text);
void setMonthText(uint32_t month, std::u16string_view text);
std::u16string unitText(uint32_t unit);
std::u16string monthText(uint32_t month);

// Each writes its text in place of what out held and returns out, or into a new buffer.

// Every unit from the largest non-zero one down: "1h 0m 0s". A negative duration is 0.
str::StrBuffer& formatDuration(str::StrBuffer& out, TimeMs ms);
// The two largest units from the largest non-zero one: "1h 0m".
str::StrBuffer& formatDurationShort(str::StrBuffer& out, TimeMs ms);
PoolPtr<str::StrBuffer> formatDurationShort(TimeMs ms);
// The local date and time: "Aug 14  09:05 07".
str::StrBuffer& formatDateTime(str::StrBuffer& out, TimeMs ms);
PoolPtr<str::StrBuffer> formatDateTime(TimeMs ms);

}  // namespace s::time

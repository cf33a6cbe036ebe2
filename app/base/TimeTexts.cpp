#include "app/base/TimeTexts.h"

#include <cstdint>

#include "framework/lang/TextIds.h"
#include "framework/time/TimeText.h"

namespace s::app::win {

namespace {
constexpr int32_t kFirstMonthText = 5000100;
constexpr int32_t kMonthTextStep = 100;
}  // namespace

void localizeTimeTexts(lang::Localizer& localizer) {
  namespace ids = lang::text;
  const int32_t units[] = {ids::kUnitDays, ids::kUnitHours, ids::kUnitMinutes, ids::kUnitSeconds};
  for (uint32_t unit = 0; unit < time::kUnitSlots; ++unit) {
    std::u16string_view text = localizer.text(units[unit]);
    if (!text.empty()) {
      time::setUnitText(unit, text);
    }
  }
  for (uint32_t month = 0; month < time::kMonthSlots; ++month) {
    std::u16string_view text =
        localizer.text(kFirstMonthText + static_cast<int32_t>(month) * kMonthTextStep);
    if (!text.empty()) {
      time::setMonthText(month, text);
    }
  }
}

}  // namespace s::app::win

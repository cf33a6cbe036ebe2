#include "framework/time/TimeText.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace s::time {

namespace {

struct Slot {
  char16_t text[kSlotLength + 1] = {};
  uint32_t length = 0;

  void set(std::u16string_view value) {
    auto n = static_cast<uint32_t>(std::min<size_t>(value.size(), kSlotLength));
    // Never keep half of a surrogate pair.
    if (n < value.size() && n > 0 && value[n - 1] >= 0xD800 && value[n - 1] <= 0xDBFF) {
      --n;
    }
    value.copy(text, n);
    text[n] = u'\0';
    length = n;
  }
  std::u16string_view view() const { return {text, length}; }
};

// The language pack may replace the texts while other threads format.
struct Slots {
  Slots() {
    static constexpr std::u16string_view kUnits[kUnitSlots] = {u"d", u"h", u"m", u"s"};
    static constexpr std::u16string_view kMonths[kMonthSlots] = {u"Jan", u"Feb", u"Mar", u"Apr",
                                                                 u"May", u"Jun", u"Jul", u"Aug",
                                                                 u"Sep", u"Oct", u"Nov", u"Dec"};
    for (uint32_t i = 0; i < kUnitSlots; ++i) {
      units[i].set(kUnits[i]);
    }
    for (uint32_t i = 0; i < kMonthSlots; ++i) {
      months[i].set(kMonths[i]);
    }
  }

  std::mutex lock;
  Slot units[kUnitSlots];
  Slot months[kMonthSlots];
};

Slots& slots() {
  static Slots instance;
  return instance;
}

struct Parts {
  int64_t days;
  int64_t hours;
  int64_t minutes;
  int64_t seconds;
};

Parts partsOf(TimeMs ms) {
  int64_t s = ms > 0 ? ms / 1000 : 0;
  return {s / 86400, s / 3600 % 24, s / 60 % 60, s % 60};
}

void appendValue(str::StrBuffer& out, int64_t value, const Slots& texts, uint32_t unit) {
  out.appendS64(value);
  out.append(texts.units[unit].view());
}

void appendTwoDigits(str::StrBuffer& out, int value) {
  char text[16];
  int n = std::snprintf(text, sizeof text, "%02d", value);
  out.appendAscii({text, static_cast<size_t>(n)});
}

}  // namespace

void setUnitText(uint32_t unit, std::u16string_view text) {
  if (unit < kUnitSlots) {
    std::scoped_lock guard(slots().lock);
    slots().units[unit].set(text);
  }
}

void setMonthText(uint32_t month, std::u16string_view text) {
  if (month < kMonthSlots) {
    std::scoped_lock guard(slots().lock);
    slots().months[month].set(text);
  }
}

std::u16string unitText(uint32_t unit) {
  std::scoped_lock guard(slots().lock);
  return unit < kUnitSlots ? std::u16string(slots().units[unit].view()) : std::u16string();
}

std::u16string monthText(uint32_t month) {
  std::scoped_lock guard(slots().lock);
  return month < kMonthSlots ? std::u16string(slots().months[month].view()) : std::u16string();
}

str::StrBuffer& formatDuration(str::StrBuffer& out, TimeMs ms) {
  out.clear();
  Parts parts = partsOf(ms);
  Slots& texts = slots();
  std::scoped_lock guard(texts.lock);
  bool shown = false;
  if (parts.days > 0) {
    appendValue(out, parts.days, texts, kDays);
    out.appendChar(u' ');
    shown = true;
  }
  if (shown || parts.hours > 0) {
    appendValue(out, parts.hours, texts, kHours);
    out.appendChar(u' ');
    shown = true;
  }
  if (shown || parts.minutes > 0) {
    appendValue(out, parts.minutes, texts, kMinutes);
    out.appendChar(u' ');
  }
  appendValue(out, parts.seconds, texts, kSeconds);
  return out;
}

str::StrBuffer& formatDurationShort(str::StrBuffer& out, TimeMs ms) {
  out.clear();
  Parts parts = partsOf(ms);
  Slots& texts = slots();
  std::scoped_lock guard(texts.lock);
  auto pair = [&](int64_t first, uint32_t firstUnit, int64_t second, uint32_t secondUnit) {
    appendValue(out, first, texts, firstUnit);
    out.appendChar(u' ');
    appendValue(out, second, texts, secondUnit);
  };
  if (parts.days >= 1) {
    pair(parts.days, kDays, parts.hours, kHours);
  } else if (parts.hours > 0) {
    pair(parts.hours, kHours, parts.minutes, kMinutes);
  } else if (parts.minutes > 0) {
    pair(parts.minutes, kMinutes, parts.seconds, kSeconds);
  } else {
    appendValue(out, parts.seconds, texts, kSeconds);
  }
  return out;
}

str::StrBuffer& formatDateTime(str::StrBuffer& out, TimeMs ms) {
  out.clear();
  auto seconds = static_cast<time_t>(ms / 1000 - (ms % 1000 < 0 ? 1 : 0));
  tm local{};
  if (localtime_r(&seconds, &local) == nullptr) {
    return out;
  }
  if (local.tm_mon >= 0 && local.tm_mon < static_cast<int>(kMonthSlots)) {
    std::scoped_lock guard(slots().lock);
    out.append(slots().months[local.tm_mon].view());
    out.appendChar(u' ');
  }
  out.appendS32(local.tm_mday);
  out.append(u"  ");
  appendTwoDigits(out, local.tm_hour);
  out.appendChar(u':');
  appendTwoDigits(out, local.tm_min);
  out.appendChar(u' ');
  appendTwoDigits(out, local.tm_sec);
  return out;
}

PoolPtr<str::StrBuffer> formatDurationShort(TimeMs ms) {
  return str::StrBuffer::written([ms](str::StrBuffer& text) { formatDurationShort(text, ms); });
}

PoolPtr<str::StrBuffer> formatDateTime(TimeMs ms) {
  return str::StrBuffer::written([ms](str::StrBuffer& text) { formatDateTime(text, ms); });
}

}  // namespace s::time

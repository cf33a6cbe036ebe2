#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "framework/time/Time.h"
#include "framework/time/TimeMs.h"
#include "framework/time/TimeText.h"

namespace {

using s::str::StrBuffer;
using s::time::FileTime;
using s::time::Time;
using s::time::TimeMs;

// 2013-08-14 09:05:07.250 UTC, a Wednesday.
constexpr TimeMs kAugust14 = 1376471107250;

// Runs a test in the given zone and puts the process's zone back afterwards.
class ZoneGuard {
 public:
  explicit ZoneGuard(const char* zone) {
    if (const char* old = std::getenv("TZ")) {
      old_ = old;
    }
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ZoneGuard() {
    if (old_) {
      setenv("TZ", old_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  ZoneGuard(const ZoneGuard&) = delete;
  ZoneGuard& operator=(const ZoneGuard&) = delete;

 private:
  std::optional<std::string> old_;
};

std::string text(const s::PoolPtr<StrBuffer>& buffer) {
  return buffer->toUtf8String();
}

TEST(TimeTest, FileTimeScale) {
  EXPECT_EQ(s::time::fileTimeToMs(116444736000000000ULL), 0);
  EXPECT_EQ(s::time::msToFileTime(0), 116444736000000000ULL);
  EXPECT_EQ(s::time::secondsToFileTime(1), 116444736010000000ULL);
  EXPECT_EQ(s::time::msToFileTime(kAugust14), 130209447072500000ULL);
  EXPECT_EQ(s::time::fileTimeToMs(130209447072509999ULL), kAugust14);
  // Before 1970 the count is negative; 1601 itself is the scale's zero.
  EXPECT_EQ(s::time::fileTimeToMs(0), -11644473600000);
  EXPECT_EQ(s::time::msToFileTime(-1000), 116444735990000000ULL);
}

TEST(TimeTest, NowIsTheSystemClock) {
  time_t before = ::time(nullptr);
  TimeMs now = s::time::nowMs();
  time_t after = ::time(nullptr);
  EXPECT_GE(now, int64_t{before} * 1000);
  EXPECT_LT(now, (int64_t{after} + 1) * 1000);
}

TEST(TimeTest, LocalTimeFollowsTheZone) {
  {
    ZoneGuard zone("UTC0");
    EXPECT_EQ(s::time::utcToLocalMs(kAugust14), kAugust14);
  }
  {
    // Central European rules: +2 h in August, +1 h in January.
    ZoneGuard zone("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(s::time::utcToLocalMs(kAugust14), kAugust14 + 7200000);
    EXPECT_EQ(s::time::utcToLocalMs(1357000000000), 1357000000000 + 3600000);
  }
  {
    ZoneGuard zone("XST+5:30");
    EXPECT_EQ(s::time::utcToLocalMs(kAugust14), kAugust14 - 19800000);
  }
}

TEST(TimeTest, BrokenDownLocalTime) {
  ZoneGuard zone("CET-1CEST,M3.5.0,M10.5.0/3");
  s::PoolPtr<Time> time(Time::fromUtcMs(kAugust14));
  EXPECT_EQ(time->year(), 2013);
  EXPECT_EQ(time->month(), 8);
  EXPECT_EQ(time->day(), 14);
  EXPECT_EQ(time->dayOfWeek(), 3);
  EXPECT_EQ(time->hour(), 11);
  EXPECT_EQ(time->minute(), 5);
  EXPECT_EQ(time->second(), 7);
  EXPECT_EQ(time->millisecond(), 250);
  EXPECT_EQ(time->fileTime(), s::time::msToFileTime(kAugust14 + 7200000));
  EXPECT_FALSE(time->setFileTime(UINT64_MAX));
  EXPECT_EQ(time->year(), 2013);
}

TEST(TimeTest, ReleasedTimeComesBackAsThe1970Thursday) {
  s::PoolPtr<Time> time = Time::fromUtcMs(kAugust14);
  const Time* released = time.get();
  time.reset();
  s::PoolPtr<Time> again(Time::take());
  EXPECT_EQ(again.get(), released);
  EXPECT_EQ(again->fileTime(), s::time::kFileTimeOf1970);
  EXPECT_EQ(again->year(), 1970);
  EXPECT_EQ(again->month(), 1);
  EXPECT_EQ(again->day(), 1);
  EXPECT_EQ(again->dayOfWeek(), 4);
  EXPECT_EQ(again->hour() + again->minute() + again->second() + again->millisecond(), 0);
  EXPECT_EQ(again->className(), u"s_time_Time");
}

struct DurationCase {
  TimeMs ms;
  const char* full;
  const char* shortText;
};

TEST(TimeTest, Durations) {
  const DurationCase cases[] = {
      {0, "0s", "0s"},
      {999, "0s", "0s"},
      {5000, "5s", "5s"},
      {59999, "59s", "59s"},  // truncated, not rounded
      {65000, "1m 5s", "1m 5s"},
      {3599999, "59m 59s", "59m 59s"},
      {3600000, "1h 0m 0s", "1h 0m"},
      {3660000, "1h 1m 0s", "1h 1m"},
      {86400000, "1d 0h 0m 0s", "1d 0h"},
      {86400000 + 61000, "1d 0h 1m 1s", "1d 0h"},
      {400LL * 86400000 + 3 * 3600000, "400d 3h 0m 0s", "400d 3h"},
      // A clock stepped back gives a negative difference; it shows as nothing elapsed.
      {-5000, "0s", "0s"},
  };
  s::PoolPtr<StrBuffer> out(StrBuffer::of(u"stale"));
  for (const auto& c : cases) {
    EXPECT_EQ(&s::time::formatDuration(*out, c.ms), out.get());
    EXPECT_EQ(out->toUtf8String(), c.full) << c.ms;
    s::time::formatDurationShort(*out, c.ms);
    EXPECT_EQ(out->toUtf8String(), c.shortText) << c.ms;
  }
}

TEST(TimeTest, TranslatedUnitAndMonthSlots) {
  ZoneGuard zone("UTC0");
  EXPECT_EQ(text(s::time::formatDateTime(kAugust14)), "Aug 14  09:05 07");

  s::time::setUnitText(s::time::kHours, u"\u0447");
  s::time::setUnitText(s::time::kMinutes, u" min");
  s::time::setMonthText(7, u"ao\u00FBt");
  s::time::setMonthText(12, u"ignored");
  EXPECT_EQ(text(s::time::formatDurationShort(3660000)), "1\xD1\x87 1 min");
  EXPECT_EQ(text(s::time::formatDateTime(kAugust14)), "ao\xC3\xBBt 14  09:05 07");

  // A slot keeps 63 units and never half of a surrogate pair.
  std::u16string longText(62, u'x');
  longText += u"\U0001F600";
  s::time::setMonthText(0, longText);
  EXPECT_EQ(s::time::monthText(0), std::u16string(62, u'x'));
  s::time::setMonthText(0, std::u16string(70, u'y'));
  EXPECT_EQ(s::time::monthText(0), std::u16string(63, u'y'));

  s::time::setUnitText(s::time::kHours, u"h");
  s::time::setUnitText(s::time::kMinutes, u"m");
  s::time::setMonthText(0, u"Jan");
  s::time::setMonthText(7, u"Aug");
  EXPECT_EQ(s::time::unitText(s::time::kHours), u"h");
}

TEST(TimeTest, DateTimeInTheLocalZone) {
  ZoneGuard zone("XST-10");
  // 2013-12-31 20:00:00 UTC is New Year's Day in a zone ten hours ahead.
  EXPECT_EQ(text(s::time::formatDateTime(1388520000000)), "Jan 1  06:00 00");
}

}  // namespace

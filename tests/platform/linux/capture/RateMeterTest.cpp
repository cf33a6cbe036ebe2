#include <gtest/gtest.h>

#include "platform/linux/capture/InterfaceCounters.h"

namespace s::platform {
namespace {

using std::chrono::milliseconds;

LinkInfo link(int index, const char* name, uint64_t rx, uint64_t tx) {
  LinkInfo info;
  info.index = index;
  info.name = name;
  info.hasStats = true;
  info.rxBytes = rx;
  info.txBytes = tx;
  return info;
}

TEST(RateMeterTest, EachDirectionIsItsOwnCountersDeltaPerSecond) {
  RateMeter meter;
  auto start = std::chrono::steady_clock::time_point() + milliseconds(5000);
  meter.addSample({link(2, "eth0", 10'000, 5'000)}, start);
  ASSERT_EQ(meter.rates().size(), 1U);
  EXPECT_FALSE(meter.rates()[0].valid) << "one sample gives no rate";

  // 900 received and 270 sent in 0.9 s: the received rate is not reduced by the sent one.
  meter.addSample({link(2, "eth0", 10'900, 5'270)}, start + milliseconds(900));
  ASSERT_TRUE(meter.rates()[0].valid);
  EXPECT_EQ(meter.rates()[0].received, 1000);
  EXPECT_EQ(meter.rates()[0].sent, 300);

  // Sent above received changes nothing either.
  meter.addSample({link(2, "eth0", 11'200, 6'270)}, start + milliseconds(1900));
  EXPECT_EQ(meter.rates()[0].received, 300);
  EXPECT_EQ(meter.rates()[0].sent, 1000);
}

TEST(RateMeterTest, NewOrResetInterfacesHaveNoRateUntilTheirNextSample) {
  RateMeter meter;
  auto start = std::chrono::steady_clock::time_point() + milliseconds(5000);
  meter.addSample({link(2, "eth0", 1000, 1000)}, start);
  // eth0 was re-created under a new index with fresh counters; wlan0 appeared.
  meter.addSample({link(5, "eth0", 10, 10), link(3, "wlan0", 0, 0)}, start + milliseconds(900));
  ASSERT_EQ(meter.rates().size(), 2U);
  EXPECT_FALSE(meter.rates()[0].valid);
  EXPECT_FALSE(meter.rates()[1].valid);
  // Counters that go backwards under the same index (a driver reset) give no rate.
  meter.addSample({link(5, "eth0", 5, 910), link(3, "wlan0", 1800, 0)}, start + milliseconds(1800));
  EXPECT_FALSE(meter.rates()[0].valid);
  ASSERT_TRUE(meter.rates()[1].valid);
  EXPECT_EQ(meter.rates()[1].received, 2000);
}

}  // namespace
}  // namespace s::platform

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "framework/str/Format.h"

namespace {

using s::str::StrBuffer;

struct ByteSizeCase {
  int64_t bytes;
  const char* text;
};

TEST(FormatTest, ByteSizes) {
  constexpr int64_t kKiB = 1024;
  constexpr int64_t kMiB = kKiB * 1024;
  constexpr int64_t kGiB = kMiB * 1024;
  constexpr int64_t kTiB = kGiB * 1024;
  const ByteSizeCase cases[] = {
      {0, "0 B"},
      {500, "500 B"},
      {1023, "1023 B"},
      {1024, "1.00 KB"},
      {1034, "1.00 KB"},
      {1536, "1.50 KB"},
      {1126, "1.09 KB"},  // the fraction is truncated and keeps its leading zero
      {1048575, "1023.99 KB"},
      {kMiB, "1.00 MB"},
      {5000000, "4.76 MB"},
      {kGiB - 1, "1023.99 MB"},
      {kGiB, "1.00 GB"},
      {kGiB + kGiB / 2, "1.50 GB"},
      {kTiB, "1.00 TB"},
      {3 * kTiB + kTiB / 4, "3.25 TB"},
      // The top group is not wrapped at 1024.
      {1024 * kTiB, "1024.00 TB"},
      {-1, "-"},
      {INT64_MIN, "-"},
  };
  s::PoolPtr<StrBuffer> out(StrBuffer::of(u"old content"));
  for (const auto& c : cases) {
    EXPECT_EQ(&s::str::formatByteSize(*out, c.bytes), out.get());
    EXPECT_EQ(out->toUtf8String(), c.text) << c.bytes;
  }
}

TEST(FormatTest, IPv4TakesTheLowestByteFirst) {
  s::PoolPtr<StrBuffer> out(s::str::formatIPv4(0x0100007F));
  EXPECT_EQ(out->toUtf8String(), "127.0.0.1");
  s::str::formatIPv4(*out, 0xFFFEA8C0);
  EXPECT_EQ(out->toUtf8String(), "192.168.254.255");
  s::str::formatIPv4(*out, 0);
  EXPECT_EQ(out->toUtf8String(), "0.0.0.0");
}

}  // namespace

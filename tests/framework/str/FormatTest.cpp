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

TEST(FormatTest, IPv6InItsRfc5952Text) {
  struct Case {
    uint8_t bytes[16];
    const char* text;
  };
  const Case cases[] = {
      {{}, "::"},
      {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, "::1"},
      {{0x20, 0x01, 0x0d, 0xb8}, "2001:db8::"},
      {{0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1}, "2001:db8:0:1:1:1:1:1"},
      {{0x20, 0x01, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1}, "2001:0:0:1::1"},
      {{0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1}, "2001:db8::1:0:0:1"},
      {{0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0x02, 0x1b, 0x21, 0xff, 0xfe, 0x0a, 0xbc, 0xde},
       "fe80::21b:21ff:fe0a:bcde"},
      {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff, 192, 0, 2, 33}, "::ffff:192.0.2.33"},
      {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x0a, 0x01}, "::a01"},
      {{0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
        0xff},
       "ffff:ffff:ffff:ffff:ffff:ffff:ffff:ffff"},
  };
  s::PoolPtr<StrBuffer> out = StrBuffer::make();
  for (const Case& c : cases) {
    s::str::formatIPv6(*out, c.bytes);
    EXPECT_EQ(out->toUtf8String(), c.text);
  }
}

}  // namespace

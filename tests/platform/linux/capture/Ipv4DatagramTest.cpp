#include "platform/linux/capture/Ipv4Datagram.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <vector>

namespace s::platform {
namespace {

// An IPv4 datagram of `length` bytes (as its header says) with a header of `headerWords` words,
// of which `captured` bytes are kept; ports 4000 -> 80 follow the header.
std::vector<uint8_t> datagram(uint8_t protocol, uint16_t length, uint8_t headerWords,
                              size_t captured) {
  std::vector<uint8_t> bytes(std::max<size_t>(captured, 64), 0);
  bytes[0] = static_cast<uint8_t>(0x40 | headerWords);
  bytes[2] = static_cast<uint8_t>(length >> 8);
  bytes[3] = static_cast<uint8_t>(length);
  bytes[9] = protocol;
  const uint8_t source[4] = {10, 0, 0, 9};
  const uint8_t destination[4] = {10, 0, 0, 5};
  std::copy(source, source + 4, bytes.begin() + 12);
  std::copy(destination, destination + 4, bytes.begin() + 16);
  size_t header = headerWords * 4U;
  if (header + 4 <= bytes.size()) {
    bytes[header] = 4000 >> 8;
    bytes[header + 1] = 4000 & 0xff;
    bytes[header + 2] = 0;
    bytes[header + 3] = 80;
  }
  bytes.resize(captured);
  return bytes;
}

struct Case {
  const char* what;
  uint8_t protocol;
  uint16_t length;
  uint8_t headerWords;
  size_t captured;
  bool taken;
};

TEST(Ipv4DatagramTest, TakesOnlyWhatFitsTheCapturedBytes) {
  const Case cases[] = {
      {"19 bytes", kProtocolTcp, 19, 5, 19, false},
      {"TCP with nothing after its header", kProtocolTcp, 20, 5, 20, false},
      {"TCP with a 20-byte transport header", kProtocolTcp, 40, 5, 40, true},
      {"TCP one byte short", kProtocolTcp, 39, 5, 39, false},
      {"UDP with 8 bytes after the header", kProtocolUdp, 28, 5, 28, true},
      {"UDP with 7 bytes after the header", kProtocolUdp, 27, 5, 27, false},
      {"ICMP", 1, 84, 5, 64, false},
      {"header length below 20", kProtocolUdp, 28, 4, 28, false},
      {"header length 0", kProtocolUdp, 28, 0, 28, false},
      {"header beyond the captured bytes", kProtocolUdp, 100, 15, 40, false},
      {"ports beyond the captured bytes", kProtocolUdp, 1000, 15, 62, false},
      {"ports just inside the captured bytes", kProtocolUdp, 1000, 15, 64, true},
      {"total length shorter than its header", kProtocolUdp, 20, 6, 64, false},
      {"truncated by the capture, long on the wire", kProtocolTcp, 1500, 5, 24, true},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = datagram(c.protocol, c.length, c.headerWords, c.captured);
    IpDatagram out;
    EXPECT_EQ(parseIpv4Datagram(bytes.data(), bytes.size(), out), c.taken) << c.what;
    if (c.taken) {
      EXPECT_EQ(out.length, c.length) << c.what;
      EXPECT_EQ(out.protocol, c.protocol) << c.what;
    }
  }
}

TEST(Ipv4DatagramTest, ReadsAddressesAndPortsAfterOptions) {
  std::vector<uint8_t> bytes = datagram(kProtocolTcp, 1064, 6, 64);
  IpDatagram out;
  ASSERT_TRUE(parseIpv4Datagram(bytes.data(), bytes.size(), out));
  EXPECT_EQ(out.source, IpAddress::v4(inet_addr("10.0.0.9")));
  EXPECT_EQ(out.destination, IpAddress::v4(inet_addr("10.0.0.5")));
  EXPECT_EQ(out.sourcePort, 4000);
  EXPECT_EQ(out.destinationPort, 80);
  EXPECT_EQ(out.length, 1064);
}

TEST(Ipv4DatagramTest, IgnoresOtherVersionsAndNothing) {
  std::vector<uint8_t> bytes = datagram(kProtocolUdp, 48, 5, 48);
  bytes[0] = 0x65;
  IpDatagram out;
  EXPECT_FALSE(parseIpv4Datagram(bytes.data(), bytes.size(), out));
  EXPECT_FALSE(parseIpv4Datagram(nullptr, 0, out));
}

}  // namespace
}  // namespace s::platform

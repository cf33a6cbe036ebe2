#include "platform/linux/capture/Ipv6Datagram.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/linux/capture/FragmentFlows.h"

namespace s::platform {
namespace {

constexpr uint8_t kHopByHop = 0;
constexpr uint8_t kRouting = 43;
constexpr uint8_t kFragment = 44;
constexpr uint8_t kEsp = 50;
constexpr uint8_t kAuthentication = 51;
constexpr uint8_t kIcmp6 = 58;
constexpr uint8_t kNoNext = 59;
constexpr uint8_t kDestination = 60;

// One extension header: its type and its length in bytes (a multiple of 8, of 4 for AH); a
// fragment header's offset (in 8-byte units) and more-fragments flag.
struct Extension {
  uint8_t type;
  size_t length = 8;
  uint16_t fragmentOffset = 0;
  bool more = false;
};

// An IPv6 datagram from 2001:db8::9 to 2001:db8::5 with the chain, then `protocol` and ports
// 4000 -> 80, a payload length of `payload` and `captured` bytes kept.
std::vector<uint8_t> datagram(const std::vector<Extension>& chain, uint8_t protocol,
                              uint16_t payload, size_t captured = 256) {
  std::vector<uint8_t> bytes(512, 0);
  bytes[0] = 0x60;
  bytes[4] = static_cast<uint8_t>(payload >> 8);
  bytes[5] = static_cast<uint8_t>(payload);
  bytes[8] = 0x20;
  bytes[9] = 0x01;
  bytes[10] = 0x0d;
  bytes[11] = 0xb8;
  bytes[23] = 9;
  std::copy(bytes.begin() + 8, bytes.begin() + 23, bytes.begin() + 24);
  bytes[39] = 5;
  size_t at = 40;
  uint8_t* next = &bytes[6];
  for (const Extension& e : chain) {
    *next = e.type;
    next = &bytes[at];
    if (e.type == kFragment) {
      bytes[at + 2] = static_cast<uint8_t>(e.fragmentOffset >> 5);
      bytes[at + 3] = static_cast<uint8_t>((e.fragmentOffset << 3) | (e.more ? 1 : 0));
      bytes[at + 7] = 0x42;  // identification
    } else if (e.type == kAuthentication) {
      bytes[at + 1] = static_cast<uint8_t>(e.length / 4 - 2);
    } else {
      bytes[at + 1] = static_cast<uint8_t>(e.length / 8 - 1);
    }
    at += e.length;
  }
  *next = protocol;
  bytes[at] = 4000 >> 8;
  bytes[at + 1] = 4000 & 0xff;
  bytes[at + 3] = 80;
  bytes.resize(captured);
  return bytes;
}

TEST(Ipv6DatagramTest, WalksTheExtensionChainToTheTransportHeader) {
  struct Case {
    const char* what;
    std::vector<Extension> chain;
    uint8_t protocol;
    uint16_t payload;
    size_t captured;
    bool taken;
  };
  const Case cases[] = {
      {"plain TCP", {}, kProtocolTcp, 20, 60, true},
      {"TCP one byte short of its header", {}, kProtocolTcp, 19, 60, false},
      {"plain UDP", {}, kProtocolUdp, 8, 48, true},
      {"ports past the captured bytes", {}, kProtocolUdp, 8, 43, false},
      {"the fixed header cut short", {}, kProtocolUdp, 8, 39, false},
      {"hop-by-hop", {{kHopByHop}}, kProtocolUdp, 16, 256, true},
      {"destination options of 24 bytes", {{kDestination, 24}}, kProtocolTcp, 44, 256, true},
      {"routing, then destination options",
       {{kRouting, 24}, {kDestination}},
       kProtocolUdp,
       40,
       256,
       true},
      {"authentication header", {{kAuthentication, 24}}, kProtocolTcp, 44, 256, true},
      {"a chain past the payload length", {{kDestination, 64}}, kProtocolUdp, 40, 256, false},
      {"a chain past the captured bytes", {{kDestination, 240}}, kProtocolUdp, 300, 256, false},
      {"ICMPv6", {}, kIcmp6, 8, 48, false},
      {"ICMPv6 after hop-by-hop (MLD)", {{kHopByHop}}, kIcmp6, 16, 56, false},
      {"ESP hides the rest", {}, kEsp, 40, 80, false},
      {"no next header", {{kDestination}}, kNoNext, 8, 48, false},
      {"a first fragment", {{kFragment, 8, 0, true}}, kProtocolUdp, 1232, 256, true},
      {"a later fragment", {{kFragment, 8, 154, true}}, kProtocolUdp, 1232, 256, true},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = datagram(c.chain, c.protocol, c.payload, c.captured);
    IpDatagram out;
    Ipv6Fragment fragment;
    ASSERT_EQ(parseIpv6Datagram(bytes.data(), bytes.size(), 0, out, fragment), c.taken) << c.what;
    if (!c.taken) {
      continue;
    }
    EXPECT_EQ(out.length, 40U + c.payload) << c.what;
    EXPECT_EQ(out.protocol, c.protocol) << c.what;
    EXPECT_EQ(out.source.family, IpFamily::V6) << c.what;
    EXPECT_EQ(out.source.bytes[15], 9) << c.what;
    EXPECT_EQ(out.destination.bytes[15], 5) << c.what;
    bool later =
        !c.chain.empty() && c.chain.back().type == kFragment && c.chain.back().fragmentOffset != 0;
    EXPECT_EQ(out.sourcePort, later ? 0 : 4000) << c.what;
    EXPECT_EQ(out.destinationPort, later ? 0 : 80) << c.what;
    EXPECT_EQ(fragment.present, !c.chain.empty() && c.chain.back().type == kFragment) << c.what;
    EXPECT_EQ(fragment.first, fragment.present && !later) << c.what;
  }
}

TEST(Ipv6DatagramTest, AJumboDatagramTakesItsLengthFromTheWire) {
  std::vector<uint8_t> bytes = datagram({}, kProtocolTcp, 0, 80);
  IpDatagram out;
  Ipv6Fragment fragment;
  ASSERT_TRUE(parseIpv6Datagram(bytes.data(), bytes.size(), 90'000, out, fragment));
  EXPECT_EQ(out.length, 90'000U);
  bytes[0] = 0x45;
  EXPECT_FALSE(parseIpv6Datagram(bytes.data(), bytes.size(), 90'000, out, fragment));
  EXPECT_FALSE(parseIpv6Datagram(nullptr, 0, 0, out, fragment));
}

IpDatagram fragmentOf(uint32_t length, uint16_t sourcePort = 0) {
  IpDatagram d;
  d.protocol = kProtocolUdp;
  d.source.family = IpFamily::V6;
  d.source.bytes[15] = 9;
  d.destination.family = IpFamily::V6;
  d.destination.bytes[15] = 5;
  d.sourcePort = sourcePort;
  d.destinationPort = sourcePort != 0 ? 80 : 0;
  d.length = length;
  return d;
}

TEST(FragmentFlowsTest, LaterFragmentsTakeTheFirstOnesPortsWhateverTheirOrder) {
  FragmentFlows flows;
  IpDatagram early = fragmentOf(600);
  EXPECT_FALSE(flows.attribute(early, 7)) << "its first fragment has not come";
  EXPECT_EQ(flows.noteFirst(fragmentOf(1280, 4000), 7), 600U);
  IpDatagram late = fragmentOf(1280);
  ASSERT_TRUE(flows.attribute(late, 7));
  EXPECT_EQ(late.sourcePort, 4000);
  EXPECT_EQ(late.destinationPort, 80);
  EXPECT_EQ(flows.noteFirst(fragmentOf(1280, 4000), 7), 0U) << "a repeated first fragment";
  IpDatagram other = fragmentOf(100);
  EXPECT_FALSE(flows.attribute(other, 8)) << "another identification";

  // The table keeps the latest datagrams: the oldest makes room.
  for (uint32_t id = 100; id < 100 + FragmentFlows::kCapacity; ++id) {
    flows.noteFirst(fragmentOf(1280, 5000), id);
  }
  IpDatagram forgotten = fragmentOf(1280);
  EXPECT_FALSE(flows.attribute(forgotten, 7));
  IpDatagram kept = fragmentOf(1280);
  EXPECT_TRUE(flows.attribute(kept, 100 + FragmentFlows::kCapacity - 1));
}

}  // namespace
}  // namespace s::platform

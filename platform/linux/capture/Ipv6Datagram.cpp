#include "platform/linux/capture/Ipv6Datagram.h"

#include "platform/linux/capture/BigEndian.h"

namespace s::platform {

namespace {

constexpr size_t kFixedHeader = 40;
constexpr size_t kFragmentHeader = 8;
constexpr size_t kTcpMinHeader = 20;
constexpr size_t kUdpHeader = 8;
constexpr size_t kPortBytes = 4;
// Longer chains are no datagram a host sends; they are not followed.
constexpr int kMaxExtensionHeaders = 16;

enum NextHeader : uint8_t {
  kHopByHop = 0,
  kRouting = 43,
  kFragment = 44,
  kAuthentication = 51,
  kDestinationOptions = 60,
  kMobility = 135,
  kHostIdentity = 139,
  kShim6 = 140,
};

}  // namespace

bool parseIpv6Datagram(const uint8_t* data, size_t captured, uint32_t wireLength, IpDatagram& out,
                       Ipv6Fragment& fragment) {
  if (data == nullptr || captured < kFixedHeader || (data[0] >> 4) != 6) {
    return false;
  }
  uint16_t payload = readBigEndian16(data + 4);
  // The datagram's end as its header says it, where no header of the chain may reach past.
  size_t end = payload != 0 ? kFixedHeader + payload : wireLength;
  Ipv6Fragment found;
  uint8_t next = data[6];
  size_t offset = kFixedHeader;
  for (int hops = 0; next != kProtocolTcp && next != kProtocolUdp; ++hops) {
    if (hops == kMaxExtensionHeaders || offset + 2 > captured) {
      return false;
    }
    size_t length = 0;
    switch (next) {
      case kHopByHop:
      case kRouting:
      case kDestinationOptions:
      case kMobility:
      case kHostIdentity:
      case kShim6:
        length = (static_cast<size_t>(data[offset + 1]) + 1) * 8;
        break;
      case kAuthentication:
        length = (static_cast<size_t>(data[offset + 1]) + 2) * 4;
        break;
      case kFragment: {
        if (offset + kFragmentHeader > captured) {
          return false;
        }
        uint16_t field = readBigEndian16(data + offset + 2);
        found.present = true;
        found.first = (field >> 3) == 0;
        found.more = (field & 1) != 0;
        found.id = readBigEndian32(data + offset + 4);
        length = kFragmentHeader;
        break;
      }
      default:
        return false;  // ICMPv6, ESP, no next header, or a protocol this count has no use for
    }
    next = data[offset];
    offset += length;
    if (offset > end) {
      return false;
    }
    if (found.present && !found.first) {
      // A later fragment: what follows is payload, not a header.
      if (next != kProtocolTcp && next != kProtocolUdp) {
        return false;
      }
      out.protocol = next;
      out.sourcePort = 0;
      out.destinationPort = 0;
      out.source = IpAddress::v6(data + 8);
      out.destination = IpAddress::v6(data + 24);
      out.length = static_cast<uint32_t>(end);
      fragment = found;
      return true;
    }
  }
  size_t transportMin = next == kProtocolTcp ? kTcpMinHeader : kUdpHeader;
  if (offset + transportMin > end || offset + kPortBytes > captured) {
    return false;
  }
  out.protocol = next;
  out.source = IpAddress::v6(data + 8);
  out.destination = IpAddress::v6(data + 24);
  out.sourcePort = readBigEndian16(data + offset);
  out.destinationPort = readBigEndian16(data + offset + 2);
  out.length = static_cast<uint32_t>(end);
  fragment = found;
  return true;
}

}  // namespace s::platform

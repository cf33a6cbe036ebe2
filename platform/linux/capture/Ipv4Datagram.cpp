#include "platform/linux/capture/Ipv4Datagram.h"

#include <cstring>

#include "platform/linux/capture/BigEndian.h"

namespace s::platform {

namespace {

constexpr size_t kMinHeader = 20;
constexpr size_t kTcpMinHeader = 20;
constexpr size_t kUdpHeader = 8;
constexpr size_t kPortBytes = 4;

uint32_t readWord(const uint8_t* p) {
  uint32_t word = 0;
  std::memcpy(&word, p, sizeof word);
  return word;
}

}  // namespace

bool parseIpv4Datagram(const uint8_t* data, size_t captured, IpDatagram& out) {
  if (data == nullptr || captured < kMinHeader || (data[0] >> 4) != 4) {
    return false;
  }
  size_t header = static_cast<size_t>(data[0] & 0x0f) * 4;
  if (header < kMinHeader || header > captured) {
    return false;
  }
  uint16_t length = readBigEndian16(data + 2);
  uint8_t protocol = data[9];
  size_t transportMin = 0;
  if (protocol == kProtocolTcp) {
    transportMin = kTcpMinHeader;
  } else if (protocol == kProtocolUdp) {
    transportMin = kUdpHeader;
  } else {
    return false;
  }
  if (length < header + transportMin || captured < header + kPortBytes) {
    return false;
  }
  out.protocol = protocol;
  out.source = IpAddress::v4(readWord(data + 12));
  out.destination = IpAddress::v4(readWord(data + 16));
  out.sourcePort = readBigEndian16(data + header);
  out.destinationPort = readBigEndian16(data + header + 2);
  out.length = length;
  return true;
}

}  // namespace s::platform

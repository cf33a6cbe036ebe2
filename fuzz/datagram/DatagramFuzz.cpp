// Random and truncated buffers through the IPv4 and IPv6 datagram parsers and the fragment
// table: no parser may read past the captured bytes, and what it takes must agree with the
// header it read.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/linux/capture/FragmentFlows.h"
#include "platform/linux/capture/Ipv4Datagram.h"
#include "platform/linux/capture/Ipv6Datagram.h"

namespace {

using s::platform::IpDatagram;
using s::platform::kProtocolTcp;
using s::platform::kProtocolUdp;

void checkIpv4(const uint8_t* bytes, size_t size) {
  IpDatagram datagram;
  if (!s::platform::parseIpv4Datagram(bytes, size, datagram)) {
    return;
  }
  size_t header = static_cast<size_t>(bytes[0] & 0x0f) * 4;
  size_t transport = datagram.protocol == kProtocolTcp ? 20 : 8;
  if ((bytes[0] >> 4) != 4 || header < 20 || header + 4 > size ||
      datagram.length < header + transport ||
      (datagram.protocol != kProtocolTcp && datagram.protocol != kProtocolUdp)) {
    std::abort();
  }
}

// The wire length comes from the input too, as a jumbo datagram takes it.
void checkIpv6(const uint8_t* bytes, size_t size, s::platform::FragmentFlows& fragments) {
  uint32_t wireLength = size >= 2 ? static_cast<uint32_t>(size) * bytes[size - 1] : 0;
  IpDatagram datagram;
  s::platform::Ipv6Fragment fragment;
  if (!s::platform::parseIpv6Datagram(bytes, size, wireLength, datagram, fragment)) {
    return;
  }
  uint32_t payload = static_cast<uint32_t>(bytes[4]) << 8 | bytes[5];
  uint32_t length = payload != 0 ? 40 + payload : wireLength;
  bool later = fragment.present && !fragment.first;
  if ((bytes[0] >> 4) != 6 || size < 40 || datagram.length != length ||
      (datagram.protocol != kProtocolTcp && datagram.protocol != kProtocolUdp) ||
      (later && (datagram.sourcePort != 0 || datagram.destinationPort != 0)) ||
      datagram.source != s::platform::IpAddress::v6(bytes + 8) ||
      datagram.destination != s::platform::IpAddress::v6(bytes + 24)) {
    std::abort();
  }
  if (fragment.first) {
    fragments.noteFirst(datagram, fragment.id);
  } else if (later) {
    fragments.attribute(datagram, fragment.id);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static s::platform::FragmentFlows fragments;
  // A copy of exactly `size` bytes, so that AddressSanitizer catches a read one byte past it.
  std::unique_ptr<uint8_t[]> bytes(new uint8_t[size == 0 ? 1 : size]);
  if (size != 0) {
    std::memcpy(bytes.get(), data, size);
  }
  const uint8_t* at = size == 0 ? nullptr : bytes.get();
  checkIpv4(at, size);
  checkIpv6(at, size, fragments);
  return 0;
}

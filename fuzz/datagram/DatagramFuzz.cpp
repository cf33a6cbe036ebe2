// Random and truncated buffers through the datagram parser: it must never read past the
// captured bytes, and what it takes must agree with the header it read.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/linux/capture/Ipv4Datagram.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly `size` bytes, so that AddressSanitizer catches a read one byte past it.
  std::unique_ptr<uint8_t[]> bytes(new uint8_t[size == 0 ? 1 : size]);
  if (size != 0) {
    std::memcpy(bytes.get(), data, size);
  }
  s::platform::Ipv4Datagram datagram;
  if (!s::platform::parseIpv4Datagram(size == 0 ? nullptr : bytes.get(), size, datagram)) {
    return 0;
  }
  size_t header = static_cast<size_t>(bytes[0] & 0x0f) * 4;
  size_t transport = datagram.protocol == s::platform::kProtocolTcp ? 20 : 8;
  if ((bytes[0] >> 4) != 4 || header < 20 || header + 4 > size ||
      datagram.length < header + transport ||
      (datagram.protocol != s::platform::kProtocolTcp &&
       datagram.protocol != s::platform::kProtocolUdp)) {
    std::abort();
  }
  return 0;
}

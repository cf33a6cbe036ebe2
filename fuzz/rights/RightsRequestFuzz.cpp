// Random bytes through the rights helper's request parser, as a program could send them: it
// must never read past them, and a request it takes must hold only values the helper serves.
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/linux/rights/RightsMessages.h"

namespace {

using namespace s::platform::rights;

bool isServedAddress(uint16_t family, const uint8_t (&address)[16]) {
  static constexpr uint8_t kZero[16] = {};
  if (family == AF_INET) {
    return std::memcmp(address + 4, kZero, 12) == 0 && std::memcmp(address, kZero, 4) != 0;
  }
  return family == AF_INET6 && std::memcmp(address, kZero, 16) != 0 && address[0] != 0xff;
}

bool isServed(const Request& request) {
  if (request.header.version != kVersion || request.header.reserved != 0 ||
      request.header.reserved2 != 0) {
    return false;
  }
  switch (request.kind) {
    case RequestKind::kCaptureSocket:
      return request.header.flags == 0 && request.capture.ifindex > 0 &&
             isServedAddress(request.capture.family, request.capture.address);
    case RequestKind::kDestroyTcp:
      return (request.header.flags & ~kNoAnswer) == 0 && request.destroy.localPort != 0 &&
             request.destroy.remotePort != 0 &&
             isServedAddress(request.destroy.family, request.destroy.local) &&
             isServedAddress(request.destroy.family, request.destroy.remote);
    case RequestKind::kSocketOwners: {
      const SocketOwnersRequest& owners = request.owners;
      if (request.header.flags != 0 || owners.count == 0 || owners.count > kMaxInodes ||
          (owners.ipProtocol != IPPROTO_TCP && owners.ipProtocol != IPPROTO_UDP)) {
        return false;
      }
      for (uint32_t i = 0; i < kMaxInodes; ++i) {
        if ((owners.inodes[i] == 0) != (i >= owners.count)) {
          return false;
        }
      }
      return true;
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly `size` bytes, so that AddressSanitizer catches a read one byte past it.
  std::unique_ptr<uint8_t[]> bytes(new uint8_t[size == 0 ? 1 : size]);
  if (size != 0) {
    std::memcpy(bytes.get(), data, size);
  }
  Request request;
  RequestCheck check = parseRequest(size == 0 ? nullptr : bytes.get(), size, request);
  if (requestCheckName(check)[0] == '\0') {
    std::abort();
  }
  if (check == RequestCheck::kOk && (size != kRequestSize || !isServed(request))) {
    std::abort();
  }
  // Short inputs mostly fail the size check: also try them as the front of a whole request.
  if (size < kRequestSize) {
    RequestBytes wire = socketOwnersRequest(SocketOwnersRequest{});
    std::memcpy(&wire, bytes.get(), size);
    if (parseRequest(&wire, sizeof wire, request) == RequestCheck::kOk && !isServed(request)) {
      std::abort();
    }
  }
  return 0;
}

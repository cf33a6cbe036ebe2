#include "platform/linux/rights/RightsMessages.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>

namespace s::platform::rights {

namespace {

// What an address is checked for: a capture never watches loopback (the loopback interface is
// not captured), a connection may run over it.
enum class AddressUse : uint8_t { kCapture, kConnection };

template <size_t N>
bool allZero(const uint8_t (&bytes)[N], size_t from = 0) {
  return std::all_of(bytes + from, bytes + N, [](uint8_t byte) { return byte == 0; });
}

bool isUsableIpv4(const uint8_t (&address)[16], AddressUse use) {
  if (!allZero(address, 4)) {
    return false;
  }
  const uint8_t first = address[0];
  const bool unspecified = allZero(address);
  const bool broadcast =
      address[0] == 255 && address[1] == 255 && address[2] == 255 && address[3] == 255;
  const bool multicast = (first & 0xf0) == 0xe0;
  const bool loopback = first == 127;
  return !unspecified && !broadcast && !multicast && (use == AddressUse::kConnection || !loopback);
}

bool isUsableIpv6(const uint8_t (&address)[16], AddressUse use) {
  static constexpr uint8_t kMappedPrefix[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff};
  static constexpr uint8_t kLoopback[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
  const bool unspecified = allZero(address);
  const bool multicast = address[0] == 0xff;
  // An IPv4 address travels as AF_INET.
  const bool mapped = std::memcmp(address, kMappedPrefix, sizeof kMappedPrefix) == 0;
  const bool loopback = std::memcmp(address, kLoopback, sizeof kLoopback) == 0;
  return !unspecified && !multicast && !mapped && (use == AddressUse::kConnection || !loopback);
}

RequestCheck checkAddress(uint16_t family, const uint8_t (&address)[16], AddressUse use) {
  if (family == AF_INET) {
    return isUsableIpv4(address, use) ? RequestCheck::kOk : RequestCheck::kBadAddress;
  }
  if (family == AF_INET6) {
    return isUsableIpv6(address, use) ? RequestCheck::kOk : RequestCheck::kBadAddress;
  }
  return RequestCheck::kBadFamily;
}

RequestCheck checkCapture(const CaptureSocketRequest& body) {
  if (body.reserved != 0) {
    return RequestCheck::kReservedNotZero;
  }
  if (body.ifindex <= 0) {
    return RequestCheck::kBadInterface;
  }
  return checkAddress(body.family, body.address, AddressUse::kCapture);
}

RequestCheck checkDestroy(const DestroyTcpRequest& body) {
  if (body.reserved != 0) {
    return RequestCheck::kReservedNotZero;
  }
  RequestCheck local = checkAddress(body.family, body.local, AddressUse::kConnection);
  if (local != RequestCheck::kOk) {
    return local;
  }
  RequestCheck remote = checkAddress(body.family, body.remote, AddressUse::kConnection);
  if (remote != RequestCheck::kOk) {
    return remote;
  }
  // A connection has both ports; 65535 stands for the unknown remote port of one that is not
  // established yet, which the kernel then matches as it is.
  return body.localPort != 0 && body.remotePort != 0 ? RequestCheck::kOk : RequestCheck::kBadPort;
}

RequestCheck checkOwners(const SocketOwnersRequest& body) {
  if (!allZero(body.reserved)) {
    return RequestCheck::kReservedNotZero;
  }
  if (body.ipProtocol != IPPROTO_TCP && body.ipProtocol != IPPROTO_UDP) {
    return RequestCheck::kBadProtocol;
  }
  if (body.count == 0 || body.count > kMaxInodes) {
    return RequestCheck::kBadCount;
  }
  const uint64_t* end = body.inodes + body.count;
  if (std::find(body.inodes, end, 0ULL) != end) {
    return RequestCheck::kBadInode;
  }
  // Slots past the count are not silently ignored: a sender that fills them is confused.
  return std::all_of(end, body.inodes + kMaxInodes, [](uint64_t inode) { return inode == 0; })
             ? RequestCheck::kOk
             : RequestCheck::kReservedNotZero;
}

// Copies the body of one kind out of the wire bytes; the bytes after it must be zero.
template <class Body>
bool takeBody(const RequestBytes& wire, Body& body) {
  std::memcpy(&body, wire.body, sizeof body);
  return std::all_of(wire.body + sizeof body, wire.body + kRequestBodySize,
                     [](uint8_t byte) { return byte == 0; });
}

template <class Body>
RequestBytes wrap(RequestKind kind, uint16_t flags, const Body& body) {
  RequestBytes wire;
  wire.header.kind = static_cast<uint16_t>(kind);
  wire.header.flags = flags;
  std::memcpy(wire.body, &body, sizeof body);
  return wire;
}

}  // namespace

const char* requestCheckName(RequestCheck check) {
  switch (check) {
    case RequestCheck::kOk:
      return "ok";
    case RequestCheck::kWrongSize:
      return "wrong size";
    case RequestCheck::kWrongVersion:
      return "wrong version";
    case RequestCheck::kUnknownKind:
      return "unknown kind";
    case RequestCheck::kUnknownFlags:
      return "unknown flags";
    case RequestCheck::kReservedNotZero:
      return "reserved bytes not zero";
    case RequestCheck::kBadInterface:
      return "bad interface index";
    case RequestCheck::kBadFamily:
      return "bad address family";
    case RequestCheck::kBadAddress:
      return "bad address";
    case RequestCheck::kBadPort:
      return "bad port";
    case RequestCheck::kBadProtocol:
      return "bad protocol";
    case RequestCheck::kBadCount:
      return "bad count";
    case RequestCheck::kBadInode:
      return "bad inode";
    case RequestCheck::kAncillaryData:
      return "ancillary data";
  }
  return "unknown check";
}

RequestCheck parseRequest(const void* bytes, size_t size, Request& request) {
  if (bytes == nullptr || size != kRequestSize) {
    return RequestCheck::kWrongSize;
  }
  RequestBytes wire;
  std::memcpy(&wire, bytes, kRequestSize);
  request.header = wire.header;
  if (wire.header.version != kVersion) {
    return RequestCheck::kWrongVersion;
  }
  if (wire.header.reserved != 0 || wire.header.reserved2 != 0) {
    return RequestCheck::kReservedNotZero;
  }
  switch (static_cast<RequestKind>(wire.header.kind)) {
    case RequestKind::kCaptureSocket:
      request.kind = RequestKind::kCaptureSocket;
      if (wire.header.flags != 0) {
        return RequestCheck::kUnknownFlags;
      }
      return takeBody(wire, request.capture) ? checkCapture(request.capture)
                                             : RequestCheck::kReservedNotZero;
    case RequestKind::kDestroyTcp:
      request.kind = RequestKind::kDestroyTcp;
      if ((wire.header.flags & ~kNoAnswer) != 0) {
        return RequestCheck::kUnknownFlags;
      }
      return takeBody(wire, request.destroy) ? checkDestroy(request.destroy)
                                             : RequestCheck::kReservedNotZero;
    case RequestKind::kSocketOwners:
      request.kind = RequestKind::kSocketOwners;
      if (wire.header.flags != 0) {
        return RequestCheck::kUnknownFlags;
      }
      return takeBody(wire, request.owners) ? checkOwners(request.owners)
                                            : RequestCheck::kReservedNotZero;
  }
  return RequestCheck::kUnknownKind;
}

RequestBytes captureSocketRequest(const CaptureSocketRequest& body) {
  return wrap(RequestKind::kCaptureSocket, 0, body);
}

RequestBytes destroyTcpRequest(const DestroyTcpRequest& body, uint16_t flags) {
  return wrap(RequestKind::kDestroyTcp, flags, body);
}

RequestBytes socketOwnersRequest(const SocketOwnersRequest& body) {
  return wrap(RequestKind::kSocketOwners, 0, body);
}

bool parseAnswer(const void* bytes, size_t size, Answer& answer) {
  if (bytes == nullptr || size != kAnswerSize) {
    return false;
  }
  std::memcpy(&answer, bytes, kAnswerSize);
  const bool knownKind = answer.kind >= static_cast<uint16_t>(AnswerKind::kHello) &&
                         answer.kind <= static_cast<uint16_t>(AnswerKind::kSocketOwners);
  return answer.version == kVersion && knownKind && answer.count <= kMaxInodes && answer.error >= 0;
}

}  // namespace s::platform::rights

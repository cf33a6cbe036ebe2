#pragma once

#include <cstddef>
#include <cstdint>

// The messages between the program and its rights helper, netvigil-rights, over a
// SOCK_SEQPACKET socketpair. Every message has one fixed size; the helper takes a request only
// when every field, reserved bytes included, holds a value it expects, and the program takes an
// answer only when it is well-formed. Ports are in host order, addresses in network order, an
// IPv4 address in the first four of its sixteen bytes with the rest zero.
namespace s::platform::rights {

inline constexpr uint16_t kVersion = 1;
// The helper's end of the socketpair: the descriptor it is started with.
inline constexpr int kChannelFd = 3;
// Socket inodes per owner request (and pids per answer).
inline constexpr uint32_t kMaxInodes = 256;

enum class RequestKind : uint16_t {
  kCaptureSocket = 1,  // a packet socket for one address of one interface, handed over
  kDestroyTcp = 2,     // end one TCP connection
  kSocketOwners = 3,   // the processes that hold some socket inodes
};

// Request flags.
enum RequestFlag : uint16_t {
  // A destroy request whose outcome nobody waits for: the helper sends no answer.
  kNoAnswer = 1,
};

// What the helper may do for the program.
enum Right : uint16_t {
  kRightCapture = 1,  // CAP_NET_RAW
  kRightDestroy = 2,  // CAP_NET_ADMIN
  kRightOwners = 4,   // CAP_SYS_PTRACE and CAP_DAC_READ_SEARCH
};
inline constexpr uint16_t kAllRights = kRightCapture | kRightDestroy | kRightOwners;

struct RequestHeader {
  uint16_t version = kVersion;
  uint16_t kind = 0;  // RequestKind
  uint16_t flags = 0;
  uint16_t reserved = 0;
  uint32_t sequence = 0;  // echoed by the answer
  uint32_t reserved2 = 0;
};

struct CaptureSocketRequest {
  int32_t ifindex = 0;
  uint16_t family = 0;  // AF_INET or AF_INET6
  uint16_t reserved = 0;
  uint8_t address[16] = {};
};

struct DestroyTcpRequest {
  uint16_t family = 0;
  uint16_t localPort = 0;
  uint16_t remotePort = 0;
  uint16_t reserved = 0;
  uint8_t local[16] = {};
  uint8_t remote[16] = {};
};

struct SocketOwnersRequest {
  uint8_t ipProtocol = 0;  // IPPROTO_TCP or IPPROTO_UDP
  uint8_t reserved[3] = {};
  uint32_t count = 0;
  uint64_t inodes[kMaxInodes] = {};
};

// A request as it goes over the socket: the header and the body of its kind, the rest zero.
inline constexpr size_t kRequestBodySize = sizeof(SocketOwnersRequest);
struct RequestBytes {
  RequestHeader header;
  uint8_t body[kRequestBodySize] = {};
};
inline constexpr size_t kRequestSize = sizeof(RequestBytes);

// A request that passed every check; only the body of `kind` is filled.
struct Request {
  RequestHeader header;
  RequestKind kind = RequestKind::kCaptureSocket;
  CaptureSocketRequest capture;
  DestroyTcpRequest destroy;
  SocketOwnersRequest owners;
};

// The outcome of checking a request; the refusal answer carries it.
enum class RequestCheck : uint16_t {
  kOk = 0,
  kWrongSize,
  kWrongVersion,
  kUnknownKind,
  kUnknownFlags,
  kReservedNotZero,
  kBadInterface,
  kBadFamily,
  kBadAddress,
  kBadPort,
  kBadProtocol,
  kBadCount,
  kBadInode,
  kAncillaryData,  // descriptors or credentials came with the request
};
const char* requestCheckName(RequestCheck check);

// Checks `size` bytes field by field and fills `request`; anything but kOk leaves it unusable.
RequestCheck parseRequest(const void* bytes, size_t size, Request& request);

RequestBytes captureSocketRequest(const CaptureSocketRequest& body);
RequestBytes destroyTcpRequest(const DestroyTcpRequest& body, uint16_t flags);
RequestBytes socketOwnersRequest(const SocketOwnersRequest& body);

enum class AnswerKind : uint16_t {
  kHello = 1,    // first message of a helper: its rights, or why it will not serve
  kRefusal = 2,  // the request failed its checks; detail is the RequestCheck
  kCaptureSocket = 3,
  kDestroyTcp = 4,
  kSocketOwners = 5,
};

// Why a helper will not serve at all (the detail of a hello with an error).
enum class HelperRefusal : uint16_t {
  kNotInGroup = 1,  // the caller is not in the group of the helper's file
};

struct Answer {
  uint16_t version = kVersion;
  uint16_t kind = 0;  // AnswerKind
  uint32_t sequence = 0;
  int32_t error = 0;  // 0, or the errno of the failure
  // Hello: the rights held (Right bits), or the HelperRefusal when error is set. Refusal: the
  // RequestCheck. Capture socket: the step that failed, as the capture layer numbers them.
  uint16_t detail = 0;
  uint16_t reserved = 0;
  uint32_t count = 0;  // pids that follow
  uint32_t reserved2 = 0;
  int32_t pids[kMaxInodes] = {};  // one per requested inode, in order; 0 when none holds it
};
inline constexpr size_t kAnswerSize = sizeof(Answer);

// Whether `size` bytes are a well-formed answer; fills `answer` when they are.
bool parseAnswer(const void* bytes, size_t size, Answer& answer);

}  // namespace s::platform::rights

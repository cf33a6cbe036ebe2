// Random lines through the parser of the /proc/net socket tables, as lines of the IPv4 and the
// IPv6 tables of both protocols: it must never read past the line, a row it takes must be one
// the tables can hold, and the row printed back as the kernel prints it must parse to itself.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/linux/ProcNetSource.h"
#include "platform/linux/SocketRow.h"

namespace {

using s::platform::Ipv6Bytes;
using s::platform::Protocol;
using s::platform::SocketFamily;
using s::platform::SocketRow;

// The words of an address as the kernel prints them: each 32-bit word in memory as %08X.
int printWords(char* out, size_t size, const uint32_t* words, int count) {
  int written = 0;
  for (int i = 0; i < count; ++i) {
    written += std::snprintf(out + written, size - static_cast<size_t>(written), "%08X", words[i]);
  }
  return written;
}

void wordsOf(const SocketRow& row, bool local, bool ipv6, uint32_t (&words)[4]) {
  std::memset(words, 0, sizeof words);
  uint32_t ipv4 = local ? row.localAddress : row.remoteAddress;
  if (!ipv6) {
    words[0] = ipv4;
  } else if (row.family == SocketFamily::Ipv4) {
    // An IPv4 row of the IPv6 tables is IPv4-mapped: ::ffff:a.b.c.d.
    static constexpr uint8_t kMapped[4] = {0, 0, 0xff, 0xff};
    std::memcpy(&words[2], kMapped, sizeof kMapped);
    words[3] = ipv4;
  } else {
    std::memcpy(words, (local ? row.localAddress6 : row.remoteAddress6).data(), sizeof words);
  }
}

// The row as a table line; its state is the kernel's "established" or "listening", which map
// onto the row's own.
size_t printLine(const SocketRow& row, bool ipv6, char* out, size_t size) {
  uint32_t local[4];
  uint32_t remote[4];
  wordsOf(row, true, ipv6, local);
  wordsOf(row, false, ipv6, remote);
  int count = ipv6 ? 4 : 1;
  int at = std::snprintf(out, size, "%4d: ", 7);
  at += printWords(out + at, size - static_cast<size_t>(at), local, count);
  at += std::snprintf(out + at, size - static_cast<size_t>(at), ":%04X ", row.localPort);
  at += printWords(out + at, size - static_cast<size_t>(at), remote, count);
  int state = row.state == s::platform::kTcpListening ? 0x0A : 0x01;
  at += std::snprintf(out + at, size - static_cast<size_t>(at),
                      ":%04X %02X 00000000:00000000 00:00000000 00000000 %5u        0 %llu 1",
                      row.remotePort, state, row.uid, static_cast<unsigned long long>(row.inode));
  return static_cast<size_t>(at);
}

bool sameRow(const SocketRow& a, const SocketRow& b) {
  return a.family == b.family && a.localAddress == b.localAddress &&
         a.remoteAddress == b.remoteAddress && a.localAddress6 == b.localAddress6 &&
         a.remoteAddress6 == b.remoteAddress6 && a.localPort == b.localPort &&
         a.remotePort == b.remotePort && a.uid == b.uid && a.inode == b.inode;
}

void check(const char* line, size_t size, Protocol protocol, bool ipv6) {
  SocketRow row;
  if (!s::platform::parseProcNetLine(line, line + size, protocol, ipv6, row)) {
    return;
  }
  static constexpr Ipv6Bytes kNone{};
  bool shapeOk = ipv6 ? row.family != SocketFamily::DualStack  // /proc cannot tell dual-stack
                      : row.family == SocketFamily::Ipv4 && row.localAddress6 == kNone &&
                            row.remoteAddress6 == kNone;
  bool familyOk = row.family != SocketFamily::Ipv4 ||
                  (row.localAddress6 == kNone && row.remoteAddress6 == kNone);
  bool stateOk = protocol == Protocol::Udp
                     ? row.state == 0
                     : row.state >= 0 && row.state <= s::platform::kTcpDeleteTcb;
  if (!shapeOk || !familyOk || !stateOk) {
    std::abort();
  }
  char printed[256];
  size_t length = printLine(row, ipv6, printed, sizeof printed);
  SocketRow again;
  if (!s::platform::parseProcNetLine(printed, printed + length, protocol, ipv6, again) ||
      !sameRow(row, again)) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly `size` bytes, so that AddressSanitizer catches a read one byte past it.
  std::unique_ptr<char[]> line(new char[size == 0 ? 1 : size]);
  if (size != 0) {
    std::memcpy(line.get(), data, size);
  }
  for (Protocol protocol : {Protocol::Tcp, Protocol::Udp}) {
    for (bool ipv6 : {false, true}) {
      check(line.get(), size, protocol, ipv6);
    }
  }
  return 0;
}

#include "platform/linux/ProcNetSource.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace s::platform {

namespace {

constexpr size_t kInitialBufferSize = 64 * 1024;

// A forward reader over one line.
class Cursor {
 public:
  Cursor(const char* at, const char* end) : at_(at), end_(end) {}

  void skipSpaces() {
    while (at_ < end_ && *at_ == ' ') {
      ++at_;
    }
  }
  bool expect(char c) {
    if (at_ < end_ && *at_ == c) {
      ++at_;
      return true;
    }
    return false;
  }
  // Reads `digits` hex digits exactly.
  bool hexFixed(int digits, uint32_t& value) {
    if (end_ - at_ < digits) {
      return false;
    }
    value = 0;
    for (int i = 0; i < digits; ++i) {
      int d = hexDigit(at_[i]);
      if (d < 0) {
        return false;
      }
      value = value << 4 | static_cast<uint32_t>(d);
    }
    at_ += digits;
    return true;
  }
  bool hex(uint64_t& value) { return number(16, value); }
  bool decimal(uint64_t& value) { return number(10, value); }
  // Skips one space-separated field.
  bool skipField() {
    skipSpaces();
    const char* start = at_;
    while (at_ < end_ && *at_ != ' ') {
      ++at_;
    }
    return at_ > start;
  }

 private:
  static int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
      return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
      return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
      return c - 'a' + 10;
    }
    return -1;
  }
  bool number(int base, uint64_t& value) {
    skipSpaces();
    value = 0;
    const char* start = at_;
    while (at_ < end_) {
      int d = hexDigit(*at_);
      if (d < 0 || d >= base) {
        break;
      }
      value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
      ++at_;
    }
    return at_ > start;
  }

  const char* at_;
  const char* end_;
};

// An address as the kernel prints it: each 32-bit word of the address in memory as %08X.
bool readAddress(Cursor& cursor, int words, uint32_t (&address)[4], uint16_t& port) {
  address[0] = address[1] = address[2] = address[3] = 0;
  for (int i = 0; i < words; ++i) {
    if (!cursor.hexFixed(8, address[i])) {
      return false;
    }
  }
  uint32_t value = 0;
  if (!cursor.expect(':') || !cursor.hexFixed(4, value)) {
    return false;
  }
  port = static_cast<uint16_t>(value);
  return true;
}

}  // namespace

bool parseProcNetLine(const char* line, const char* end, Protocol protocol, bool ipv6,
                      SocketRow& row) {
  Cursor cursor(line, end);
  uint64_t slot = 0;
  if (!cursor.decimal(slot) || !cursor.expect(':')) {
    return false;
  }
  row = SocketRow{};
  uint32_t local[4];
  uint32_t remote[4];
  int words = ipv6 ? 4 : 1;
  cursor.skipSpaces();
  if (!readAddress(cursor, words, local, row.localPort)) {
    return false;
  }
  cursor.skipSpaces();
  if (!readAddress(cursor, words, remote, row.remotePort)) {
    return false;
  }
  uint64_t state = 0;
  uint64_t uid = 0;
  uint64_t timeout = 0;
  // st, then tx_queue:rx_queue, tr:tm->when, retrnsmt, uid, timeout, inode.
  if (!cursor.hex(state) || !cursor.skipField() || !cursor.skipField() || !cursor.skipField() ||
      !cursor.decimal(uid) || !cursor.decimal(timeout) || !cursor.decimal(row.inode)) {
    return false;
  }
  if (ipv6) {
    setIpv6TableAddresses(local, remote, V6Only::Unknown, row);
  } else {
    row.localAddress = local[0];
    row.remoteAddress = remote[0];
  }
  row.state = protocol == Protocol::Tcp ? tcpStateFromLinux(static_cast<int>(state)) : 0;
  row.uid = static_cast<uint32_t>(uid);
  return true;
}

ProcNetSource::ProcNetSource(std::string root, std::string bindV6Only)
    : root_(std::move(root)), bindV6Only_(std::move(bindV6Only)) {}

bool ProcNetSource::read(Protocol protocol, ByteCounts /*counts*/, std::vector<SocketRow>& rows) {
  rows.clear();
  const char* name = protocol == Protocol::Tcp ? "tcp" : "udp";
  const char* name6 = protocol == Protocol::Tcp ? "tcp6" : "udp6";
  if (!readTable(name, protocol, false, rows)) {
    return false;
  }
  size_t firstIpv6 = rows.size();
  // A kernel without IPv6 has no such table: its absence is no failure.
  if (!readTable(name6, protocol, true, rows) && errno != ENOENT) {
    return false;
  }
  if (!socketsDefaultToV6Only()) {
    markDualStack(firstIpv6, rows);
  }
  return true;
}

bool ProcNetSource::socketsDefaultToV6Only() {
  int fd = ::open(bindV6Only_.c_str(), O_RDONLY | O_CLOEXEC);
  char value = '0';
  if (fd >= 0) {
    if (::read(fd, &value, 1) != 1) {
      value = '0';
    }
    ::close(fd);
  }
  return value != '0';
}

void ProcNetSource::markDualStack(size_t firstIpv6, std::vector<SocketRow>& rows) {
  ipv4WildcardPorts_.clear();
  for (size_t i = 0; i < firstIpv6; ++i) {
    const SocketRow& row = rows[i];
    if (row.localAddress == 0 && row.remoteAddress == 0) {
      ipv4WildcardPorts_.push_back(row.localPort);
    }
  }
  std::sort(ipv4WildcardPorts_.begin(), ipv4WildcardPorts_.end());
  for (size_t i = firstIpv6; i < rows.size(); ++i) {
    SocketRow& row = rows[i];
    if (isIpv6Wildcard(row) &&
        !std::binary_search(ipv4WildcardPorts_.begin(), ipv4WildcardPorts_.end(), row.localPort)) {
      row.family = SocketFamily::DualStack;
    }
  }
}

bool ProcNetSource::readTable(const char* name, Protocol protocol, bool ipv6,
                              std::vector<SocketRow>& rows) {
  path_.assign(root_).append("/").append(name);
  int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return false;
  }
  if (buffer_.size() < kInitialBufferSize) {
    buffer_.resize(kInitialBufferSize);
  }
  size_t used = 0;
  for (;;) {
    if (used == buffer_.size()) {
      buffer_.resize(buffer_.size() * 2);
    }
    ssize_t got = ::read(fd, buffer_.data() + used, buffer_.size() - used);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got < 0) {
      int saved = errno;
      ::close(fd);
      errno = saved;
      return false;
    }
    if (got == 0) {
      break;
    }
    used += static_cast<size_t>(got);
  }
  ::close(fd);
  const char* at = buffer_.data();
  const char* end = at + used;
  while (at < end) {
    const char* lineEnd = static_cast<const char*>(std::memchr(at, '\n', end - at));
    if (lineEnd == nullptr) {
      lineEnd = end;
    }
    SocketRow row;
    if (parseProcNetLine(at, lineEnd, protocol, ipv6, row)) {
      rows.push_back(row);
    }
    at = lineEnd + 1;
  }
  return true;
}

}  // namespace s::platform

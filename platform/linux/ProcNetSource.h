#pragma once

#include <string>
#include <vector>

#include "platform/linux/ISocketSource.h"

namespace s::platform {

// Lists sockets from /proc/net/{tcp,tcp6,udp,udp6}: the way in when netlink is refused.
class ProcNetSource final : public ISocketSource {
 public:
  // `root` is the folder that holds the tables, /proc/net by default.
  explicit ProcNetSource(std::string root = "/proc/net");

  bool read(Protocol protocol, std::vector<SocketRow>& rows) override;

 private:
  bool readTable(const char* name, Protocol protocol, bool ipv6, std::vector<SocketRow>& rows);

  std::string root_;
  std::string path_;
  std::vector<char> buffer_;
};

// Parses one row line of such a table; false for the heading and malformed or non-IPv4 lines.
bool parseProcNetLine(const char* line, const char* end, Protocol protocol, bool ipv6,
                      SocketRow& row);

}  // namespace s::platform

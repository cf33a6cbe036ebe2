#pragma once

#include <string>
#include <vector>

#include "platform/linux/ISocketSource.h"

namespace s::platform {

// Lists sockets from /proc/net/{tcp,tcp6,udp,udp6}: the way in when netlink is refused. These
// tables have no byte counters and do not say whether an IPv6 wildcard socket takes IPv4 too:
// it is taken as dual-stack when the system's default (net.ipv6.bindv6only) leaves sockets so
// and no IPv4 wildcard socket of the protocol holds its port, which a dual-stack one would
// have kept from binding.
class ProcNetSource final : public ISocketSource {
 public:
  // `root` is the folder that holds the tables, /proc/net by default; `bindV6Only` the file of
  // the system's default.
  explicit ProcNetSource(std::string root = "/proc/net",
                         std::string bindV6Only = "/proc/sys/net/ipv6/bindv6only");

  bool read(Protocol protocol, ByteCounts counts, std::vector<SocketRow>& rows) override;

 private:
  bool readTable(const char* name, Protocol protocol, bool ipv6, std::vector<SocketRow>& rows);
  bool socketsDefaultToV6Only();
  void markDualStack(size_t firstIpv6, std::vector<SocketRow>& rows);

  std::string root_;
  std::string bindV6Only_;
  std::string path_;
  std::vector<char> buffer_;
  std::vector<uint16_t> ipv4WildcardPorts_;
};

// Parses one row line of such a table; false for the heading and malformed lines. An IPv6
// wildcard row comes out as IPv6.
bool parseProcNetLine(const char* line, const char* end, Protocol protocol, bool ipv6,
                      SocketRow& row);

}  // namespace s::platform

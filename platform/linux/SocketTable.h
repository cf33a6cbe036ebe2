#pragma once

#include <vector>

#include "platform/linux/ProcNetSource.h"
#include "platform/linux/SockDiagSource.h"
#include "platform/linux/SocketOwners.h"

namespace s::platform {

// Lists the TCP and UDP sockets with their owning processes: from netlink, or from /proc/net
// once netlink has been refused. The owners this process may not see are asked of the rights
// helper when one serves it. One reader per thread.
class SocketTable {
 public:
  enum class Source { Netlink, ProcNet };

  explicit SocketTable(Source source = Source::Netlink);

  // Replaces `rows` with the sockets of `protocol` and their owners (see SocketOwners), with
  // the TCP byte counters when asked for and netlink gives them. False, with errno kept and
  // `rows` empty, when neither source can be read.
  bool read(Protocol protocol, std::vector<SocketRow>& rows,
            ByteCounts counts = ByteCounts::Without);

  Source source() const { return source_; }

 private:
  Source source_;
  SockDiagSource diag_;
  ProcNetSource procNet_;
  SocketOwners owners_;
};

}  // namespace s::platform

#include "platform/linux/SocketTable.h"

#include <cerrno>

namespace s::platform {

namespace {

// Errors that say netlink will not serve this process, as against a dump that broke once.
bool isRefusal(int error) {
  return error == EPERM || error == EACCES || error == EPROTONOSUPPORT || error == EAFNOSUPPORT ||
         error == ENOENT || error == EOPNOTSUPP;
}

}  // namespace

bool SocketTable::read(Protocol protocol, std::vector<SocketRow>& rows, ByteCounts counts) {
  bool read = false;
  if (source_ == Source::Netlink) {
    read = diag_.read(protocol, counts, rows);
    if (!read && isRefusal(errno)) {
      source_ = Source::ProcNet;
    }
  }
  if (!read && !procNet_.read(protocol, counts, rows)) {
    rows.clear();
    return false;
  }
  owners_.assign(protocol, rows);
  return true;
}

}  // namespace s::platform

#include "platform/linux/SocketTable.h"

#include <netinet/in.h>

#include <cerrno>

#include "platform/linux/rights/RightsClient.h"

namespace s::platform {

namespace {

// The owners only the rights helper may see.
class HelperOwners final : public IOwnerLookup {
 public:
  bool findOwners(Protocol protocol, std::span<const uint64_t> inodes,
                  std::span<int32_t> pids) override {
    RightsClient* rights = RightsClient::current();
    if (rights == nullptr || !rights->serves(rights::kRightOwners)) {
      return false;
    }
    return rights->findOwners(protocol == Protocol::Tcp ? IPPROTO_TCP : IPPROTO_UDP, inodes, pids);
  }

  static HelperOwners& instance() {
    static HelperOwners owners;
    return owners;
  }
};

// Errors that say netlink will not serve this process, as against a dump that broke once.
bool isRefusal(int error) {
  return error == EPERM || error == EACCES || error == EPROTONOSUPPORT || error == EAFNOSUPPORT ||
         error == ENOENT || error == EOPNOTSUPP;
}

}  // namespace

SocketTable::SocketTable(Source source) : source_(source) {
  owners_.setFallback(&HelperOwners::instance());
}

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

#include "app/base/SystemCheck.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/linux/ProcNetSource.h"
#include "platform/linux/SockDiagSource.h"

namespace s::app::win {

SystemCheck checkSystem(platform::ISocketSource& netlink, platform::ISocketSource& procNet,
                        const std::function<bool()>& displayAnswers) {
  SystemCheck check;
  std::vector<platform::SocketRow> rows;
  errno = 0;
  if (!netlink.read(platform::Protocol::Tcp, platform::ByteCounts::Without, rows)) {
    const std::string netlinkError = std::strerror(errno);
    errno = 0;
    if (!procNet.read(platform::Protocol::Tcp, platform::ByteCounts::Without, rows)) {
      check.usable = false;
      check.problem =
          "netvigil: cannot read the kernel's socket tables (netlink sock_diag: " + netlinkError +
          "; /proc/net/tcp: " + std::strerror(errno) + ")";
      return check;
    }
  }
  check.front = displayAnswers && displayAnswers() ? Front::kWindow : Front::kConsole;
  return check;
}

SystemCheck checkSystem(const std::function<bool()>& displayAnswers) {
  platform::SockDiagSource netlink;
  platform::ProcNetSource procNet;
  return checkSystem(netlink, procNet, displayAnswers);
}

}  // namespace s::app::win

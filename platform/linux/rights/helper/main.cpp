// netvigil-rights: holds the rights the Netvigil program itself does without, and uses them
// only as the program's requests over its channel ask. The program starts it; see
// RightsClient.
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>

#include "platform/linux/rights/RightsMessages.h"
#include "platform/linux/rights/helper/CallerGroup.h"
#include "platform/linux/rights/helper/HelperRights.h"
#include "platform/linux/rights/helper/RightsService.h"
#include "platform/linux/rights/helper/Sandbox.h"

namespace {

enum ExitStatus : int {
  kEnded = 0,
  kChannelFailed = 1,
  kRefused = 3,
  kNotStartedByTheProgram = 4,
  kNotLockedDown = 5,
};

// The channel is a SOCK_SEQPACKET socket of this user's: a socketpair the program made.
bool isChannel(int fd) {
  int type = 0;
  int domain = 0;
  socklen_t size = sizeof type;
  if (getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &size) != 0 || type != SOCK_SEQPACKET) {
    return false;
  }
  size = sizeof domain;
  if (getsockopt(fd, SOL_SOCKET, SO_DOMAIN, &domain, &size) != 0 || domain != AF_UNIX) {
    return false;
  }
  ucred peer{};
  size = sizeof peer;
  return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == getuid();
}

}  // namespace

int main(int argc, char** /*argv*/) {
  using namespace s::platform;
  if (argc != 1 || !isChannel(rights::kChannelFd)) {
    std::fputs(
        "netvigil-rights: Netvigil starts this helper itself; it takes no arguments and serves "
        "the socket it is given as descriptor 3\n",
        stderr);
    return kNotStartedByTheProgram;
  }
  // Nothing but the standard descriptors and the channel crosses into the helper.
  close_range(rights::kChannelFd + 1, ~0U, 0);
  gid_t group = 0;
  if (!callerInGroupOf("/proc/self/exe", group)) {
    RightsService(rights::kChannelFd, 0).sendRefusalHello(rights::HelperRefusal::kNotInGroup);
    std::fprintf(stderr,
                 "netvigil-rights: refused: the caller is not in group %u, the group that may "
                 "run this helper\n",
                 static_cast<unsigned>(group));
    return kRefused;
  }
  const uint16_t held = keepOnlyRightsCapabilities();
  if (!lockDown()) {
    std::perror("netvigil-rights: cannot lock itself down");
    return kNotLockedDown;
  }
  RightsService service(rights::kChannelFd, held);
  if (!service.sendHello()) {
    return kChannelFailed;
  }
  return service.serve() == 0 ? kEnded : kChannelFailed;
}

#include "app/base/ProgramEnd.h"

#include <poll.h>

#include <cerrno>
#include <optional>

namespace s::app::win {

namespace {
constexpr int kLookMs = 10;
}  // namespace

int waitUntilClosed(platform::EndRequests& ends, const std::function<bool()>& closed,
                    const std::function<void(const platform::EndRequest&)>& exit,
                    const WatchedFd& also) {
  std::optional<int> status;
  pollfd fds[2] = {{ends.fd(), POLLIN, 0}, {also.fd, POLLIN, 0}};
  const nfds_t count = also.fd >= 0 ? 2 : 1;
  while (!closed()) {
    if (::poll(fds, count, kLookMs) < 0 && errno != EINTR) {
      return status.value_or(1);
    }
    if (count == 2 && (fds[1].revents & POLLIN) != 0 && also.ready) {
      also.ready();
    }
    if ((fds[0].revents & POLLIN) == 0) {
      continue;
    }
    // Later requests only repeat what is under way.
    for (std::optional<platform::EndRequest> request = ends.take(); request;
         request = ends.take()) {
      if (!status) {
        status = request->status();
        exit(*request);
      }
    }
  }
  return status.value_or(0);
}

}  // namespace s::app::win

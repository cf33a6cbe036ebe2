#include "platform/linux/EndRequests.h"

#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace s::platform {

void blockEndSignals(std::initializer_list<int> extra) {
  blockSignals({SIGINT, SIGTERM, SIGHUP});
  blockSignals(extra);
}

EndRequests::EndRequests()
    : signals_({SIGINT, SIGTERM, SIGHUP}), lostFd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
  epollFd_ = epoll_create1(EPOLL_CLOEXEC);
  for (int fd : {signals_.fd(), lostFd_}) {
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = fd;
    if (epollFd_ >= 0 && (fd < 0 || epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &event) != 0)) {
      ::close(epollFd_);
      epollFd_ = -1;
    }
  }
}

EndRequests::~EndRequests() {
  for (int fd : {epollFd_, lostFd_}) {
    if (fd >= 0) {
      ::close(fd);
    }
  }
}

void EndRequests::displayLost() {
  const uint64_t one = 1;
  // Only a full counter refuses, and then a request is pending anyway.
  [[maybe_unused]] ssize_t written = ::write(lostFd_, &one, sizeof one);
}

std::optional<EndRequest> EndRequests::take() {
  uint64_t count = 0;
  if (lostFd_ >= 0 && ::read(lostFd_, &count, sizeof count) == static_cast<ssize_t>(sizeof count)) {
    return EndRequest{EndRequest::Kind::kDisplayLost, 0};
  }
  if (int signal = signals_.next(); signal != 0) {
    return EndRequest{EndRequest::Kind::kSignal, signal};
  }
  return std::nullopt;
}

std::optional<EndRequest> EndRequests::wait(int timeoutMs) {
  if (std::optional<EndRequest> request = take()) {
    return request;
  }
  pollfd ready{epollFd_, POLLIN, 0};
  while (::poll(&ready, 1, timeoutMs) < 0 && errno == EINTR) {
  }
  return take();
}

}  // namespace s::platform

#include "platform/linux/ChildReaper.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace s::platform {

namespace {

int openPidfd(pid_t pid) {
  return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
}

void waitFor(pid_t pid) {
  while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

ChildReaper::ChildReaper() : wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

ChildReaper::~ChildReaper() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    stopping_ = true;
  }
  wake();
  if (thread_.joinable()) {
    thread_.join();
  }
}

ChildReaper& ChildReaper::instance() {
  static ChildReaper reaper;
  return reaper;
}

void ChildReaper::adopt(pid_t child) {
  if (child <= 0) {
    return;
  }
  UniqueFd pidfd(openPidfd(child));
  if (!pidfd.valid() || !wakeFd_.valid()) {
    waitFor(child);
    return;
  }
  {
    std::lock_guard<std::mutex> hold(lock_);
    children_.push_back(Child{child, std::move(pidfd)});
    if (!thread_.joinable()) {
      thread_ = std::thread([this] { run(); });
    }
  }
  wake();
}

size_t ChildReaper::pendingCount() const {
  std::lock_guard<std::mutex> hold(lock_);
  return children_.size();
}

void ChildReaper::wake() const {
  uint64_t one = 1;
  [[maybe_unused]] ssize_t written = write(wakeFd_.get(), &one, sizeof one);
}

void ChildReaper::run() {
  std::vector<pollfd> watched;
  for (;;) {
    watched.clear();
    watched.push_back(pollfd{wakeFd_.get(), POLLIN, 0});
    {
      std::lock_guard<std::mutex> hold(lock_);
      if (stopping_) {
        return;
      }
      for (const Child& child : children_) {
        watched.push_back(pollfd{child.pidfd.get(), POLLIN, 0});
      }
    }
    if (poll(watched.data(), watched.size(), -1) < 0 && errno != EINTR) {
      return;
    }
    uint64_t count = 0;
    [[maybe_unused]] ssize_t drained = read(wakeFd_.get(), &count, sizeof count);
    std::lock_guard<std::mutex> hold(lock_);
    for (size_t i = 0; i < children_.size();) {
      siginfo_t info{};
      // WNOHANG: a pidfd may be ready only for a child that has ended, but never block here.
      if (waitid(P_PID, static_cast<id_t>(children_[i].pid), &info, WEXITED | WNOHANG) == 0 &&
          info.si_pid == 0) {
        ++i;
        continue;
      }
      children_.erase(children_.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
}

}  // namespace s::platform

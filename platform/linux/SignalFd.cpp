#include "platform/linux/SignalFd.h"

#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace s::platform {

namespace {

sigset_t setOf(std::initializer_list<int> signals) {
  sigset_t set;
  sigemptyset(&set);
  for (int signal : signals) {
    sigaddset(&set, signal);
  }
  return set;
}

}  // namespace

void blockSignals(std::initializer_list<int> signals) {
  sigset_t set = setOf(signals);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

SignalFd::SignalFd(std::initializer_list<int> signals) {
  sigset_t set = setOf(signals);
  fd_ = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
}

SignalFd::~SignalFd() {
  if (fd_ >= 0) {
    ::close(fd_);
  }
}

int SignalFd::next() {
  signalfd_siginfo info{};
  if (fd_ < 0 || ::read(fd_, &info, sizeof info) != static_cast<ssize_t>(sizeof info)) {
    return 0;
  }
  return static_cast<int>(info.ssi_signo);
}

}  // namespace s::platform

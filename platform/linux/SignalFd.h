#pragma once

#include <signal.h>

#include <initializer_list>

namespace s::platform {

// Blocks the signals in the calling thread, and so in every thread it starts from then on:
// call it before the first thread, so that they arrive only through a SignalFd.
void blockSignals(std::initializer_list<int> signals);

// A signalfd for a set of signals blocked beforehand: readable while one is pending.
class SignalFd {
 public:
  explicit SignalFd(std::initializer_list<int> signals);
  ~SignalFd();
  SignalFd(const SignalFd&) = delete;
  SignalFd& operator=(const SignalFd&) = delete;

  bool isOpen() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  // The next pending signal's number without waiting; 0 when none is pending.
  int next();

 private:
  int fd_ = -1;
};

}  // namespace s::platform

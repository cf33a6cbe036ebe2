#pragma once

#include <optional>

#include "platform/linux/SignalFd.h"

namespace s::platform {

// Why the program is asked to end from outside.
struct EndRequest {
  enum class Kind {
    kSignal,       // SIGINT, SIGTERM or SIGHUP
    kDisplayLost,  // the connection to the X server broke
  };
  Kind kind = Kind::kSignal;
  int signal = 0;

  // The exit status of a program ended this way: 128 + the signal's number, as a shell shows
  // it, and 1 for a lost display.
  int status() const { return kind == Kind::kSignal ? 128 + signal : 1; }
};

// Blocks the end signals (SIGINT: Ctrl+C; SIGTERM: kill and the system's shut-down; SIGHUP:
// the session or the terminal gone) and `extra`, before the first thread (blockSignals).
void blockEndSignals(std::initializer_list<int> extra = {});

// What asks the program to end from outside, behind one descriptor for its loop: the end
// signals, blocked beforehand, and a display connection reported lost from any thread. The
// program watches fd() and, when it is readable, takes the requests and ends the way its own
// "Exit" does, so that a session's end loses nothing either.
class EndRequests {
 public:
  EndRequests();
  ~EndRequests();
  EndRequests(const EndRequests&) = delete;
  EndRequests& operator=(const EndRequests&) = delete;

  bool isOpen() const { return epollFd_ >= 0 && signals_.isOpen() && lostFd_ >= 0; }
  int fd() const { return epollFd_; }

  // Any thread, also the display's own error handler.
  void displayLost();
  // The next request without waiting: a lost display first, then the signals in turn.
  std::optional<EndRequest> take();
  // Waits up to timeoutMs (-1: without limit) for a request.
  std::optional<EndRequest> wait(int timeoutMs);

 private:
  SignalFd signals_;
  int lostFd_ = -1;
  int epollFd_ = -1;
};

}  // namespace s::platform

#pragma once

#include <cstdint>

namespace s::platform {

// Asks a process to end of its own accord (its windows to close, or a signal it may handle).
class IPoliteCloser {
 public:
  virtual ~IPoliteCloser() = default;

  // True when the request reached the process.
  virtual bool askToClose(int32_t pid) = 0;
};

// The request every process understands: SIGTERM.
class TerminateSignalCloser final : public IPoliteCloser {
 public:
  bool askToClose(int32_t pid) override;

  static TerminateSignalCloser& instance();
};

}  // namespace s::platform

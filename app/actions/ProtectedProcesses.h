#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace s::app {

// The processes that "Close Program" and "Kill Program" are never offered for: those whose end
// takes the desktop or the system down. By name (letter case ignored, whole name) the four
// that the program has always kept, which never run on Linux but cost nothing; by pid the ones
// the desktop in use names (addDesktopProcesses) and this program itself.
class ProtectedProcesses {
 public:
  // The names, pid 1 and this process.
  ProtectedProcesses();

  void addPid(int32_t pid);
  // The X server, the running window manager and the session's D-Bus daemon, where each can be
  // found; each asks the X server or the bus once.
  void addDesktopProcesses();

  bool isProtected(int32_t pid, std::string_view processName) const;
  const std::vector<int32_t>& pids() const { return pids_; }

 private:
  std::vector<int32_t> pids_;
};

}  // namespace s::app

#include "app/actions/ProtectedProcesses.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>

namespace s::app {

namespace {

constexpr std::string_view kProtectedNames[] = {"System", "svchost.exe", "lsass.exe",
                                                "explorer.exe"};

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

ProtectedProcesses::ProtectedProcesses() {
  addPid(1);
  addPid(getpid());
}

void ProtectedProcesses::addPid(int32_t pid) {
  if (pid > 0 && std::ranges::find(pids_, pid) == pids_.end()) {
    pids_.push_back(pid);
  }
}

bool ProtectedProcesses::isProtected(int32_t pid, std::string_view processName) const {
  if (std::ranges::find(pids_, pid) != pids_.end()) {
    return true;
  }
  return std::ranges::any_of(
      kProtectedNames, [&](std::string_view name) { return equalIgnoringCase(name, processName); });
}

}  // namespace s::app

#pragma once

#include <string>
#include <string_view>

namespace s::system::probes {

// The running system: the kernel as uname gives it and the distribution as os-release names it.
struct OsInfo {
  std::string kernel;        // "Linux 6.1.0-18-amd64 #1 SMP ... x86_64"
  int major = 0;             // of the kernel's release: 6
  int minor = 0;             // 1
  int build = 0;             // 0
  std::string distribution;  // PRETTY_NAME, "Debian GNU/Linux 12 (bookworm)"; "Linux" without one
  bool is64Bit = false;      // the system's, not only this program's
};

// The kernel release's first three numbers ("6.1.0-18-amd64": 6, 1, 0; missing ones are 0).
void parseRelease(std::string_view release, int& major, int& minor, int& build);
// PRETTY_NAME of an os-release text, unquoted; else NAME and VERSION; else empty.
std::string prettyName(std::string_view osRelease);
// Whether a machine name (uname -m) is a 64-bit architecture's.
bool isMachine64Bit(std::string_view machine);

// uname, and /etc/os-release (else /usr/lib/os-release).
OsInfo readOsInfo();

}  // namespace s::system::probes

#pragma once

#include <cstdint>
#include <string>

namespace s::platform {

// What the program's own properties window shows of a file.
struct FileFacts {
  std::string path;
  int64_t size = 0;
  std::string owner;       // "user:group", numbers where the names are unknown
  uint32_t mode = 0;       // the type and permission bits of st_mode
  int64_t modifiedMs = 0;  // since 1970 UTC
  // The file capabilities as getcap writes them ("cap_net_admin,cap_net_raw=ep"), empty when
  // the file has none.
  std::string capabilities;
};

// False when the file cannot be looked at (gone, or a folder on the way is closed to this user).
bool readFileFacts(const std::string& path, FileFacts& facts);

// "-rwxr-xr-x" for the mode of a regular file, with s, S, t and T where set-id and sticky bits
// are, and the leading letter of the file's type.
std::string modeText(uint32_t mode);

// The security.capability attribute's bytes in getcap's form; empty when malformed or empty.
std::string capabilityText(const void* bytes, size_t size);

}  // namespace s::platform

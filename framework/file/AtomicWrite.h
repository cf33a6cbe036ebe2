#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace s::file {

// How a file is replaced atomically.
struct AtomicWrite {
  enum class Mode : uint8_t {
    kPrivate,  // 0600, for the program's own files such as the settings
    kUsual,    // as an editor saves: a new file 0666 less the umask, a replaced one keeps its own
  };
  enum class Link : uint8_t {
    kReplace,  // a symbolic link at the path is replaced by the file
    kFollow,   // the file is written through the link to its final target, replaced atomically
  };
  Mode mode = Mode::kPrivate;
  Link link = Link::kReplace;
};

// Replaces the file at `path` (system bytes) so that a crash or a full disk leaves either the
// old or the new content, never a part: a temporary file in the same folder, flushed, then
// renamed over it. The folder must exist. False when anything failed; the old file is then as
// it was.
bool writeFileAtomically(const std::string& path, std::string_view bytes,
                         const AtomicWrite& how = {});

// Writes every byte to `fd`, going on after short writes and interruptions.
bool writeWhole(int fd, std::string_view bytes);

// The process's file-mode creation mask, read without changing it.
uint32_t currentUmask();

}  // namespace s::file

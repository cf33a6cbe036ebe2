#include "platform/linux/desktop/ProgramIcons.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace s::platform {

namespace {

bool endsWith(const std::string& text, const char* end) {
  const size_t n = std::strlen(end);
  return text.size() >= n && text.compare(text.size() - n, n, end) == 0;
}

bool isFile(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// Scalable icons are skipped: the picture decoders read PNG, JPEG, GIF, BMP and ICO only.
bool isScalable(const std::string& path) {
  return endsWith(path, ".svg") || endsWith(path, ".svgz");
}

}  // namespace

ProgramIcons::ProgramIcons(DesktopEnvironment environment) : environment_(std::move(environment)) {}

ProgramIcons& ProgramIcons::instance() {
  static ProgramIcons icons(DesktopEnvironment::fromProcess());
  return icons;
}

bool ProgramIcons::isElfProgram(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    return false;
  }
  struct stat status {};
  unsigned char magic[4] = {};
  const bool elf = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
                   ::pread(fd, magic, 4, 0) == 4 &&
                   std::memcmp(magic,
                               "\x7F"
                               "ELF",
                               4) == 0;
  ::close(fd);
  return elf;
}

std::string ProgramIcons::iconFileFor(const std::string& programPath) {
  std::scoped_lock guard(lock_);
  auto known = answers_.find(programPath);
  if (known != answers_.end()) {
    return known->second;
  }
  if (!entries_) {
    entries_ = std::make_unique<DesktopEntries>(environment_);
    theme_ = std::make_unique<IconTheme>(environment_, environment_.iconThemeName());
  }
  std::string file = lookUp(programPath);
  answers_.emplace(programPath, file);
  return file;
}

std::string ProgramIcons::lookUp(const std::string& programPath) {
  if (const DesktopEntries::Entry* entry = entries_->forProgram(programPath)) {
    const std::string& icon = entry->icon;
    if (!icon.empty() && icon[0] == '/') {
      if (isFile(icon) && !isScalable(icon)) {
        return icon;
      }
    } else if (!icon.empty()) {
      // Some entries name a pixmap with its extension.
      std::string name = icon;
      for (const char* extension : {".png", ".xpm", ".svg"}) {
        if (endsWith(name, extension)) {
          name.resize(name.size() - std::strlen(extension));
        }
      }
      std::string file = theme_->find(name, kIconSize);
      if (!file.empty()) {
        return file;
      }
    }
  }
  return theme_->find(kGenericIcon, kIconSize);
}

}  // namespace s::platform

#include "framework/file/AtomicWrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace s::file {

namespace {

// As many links as the kernel follows in one path.
constexpr int kMaxLinks = 40;
constexpr uint32_t kDefaultUmask = 022;
constexpr mode_t kPermissionBits = 0777;

std::string folderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) {
    return ".";
  }
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// The path that a chain of symbolic links at `path` ends in (which need not exist); false
// for a loop or an unreadable link.
bool finalTarget(std::string& path) {
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
      return true;
    }
    char buffer[4096];
    ssize_t length = ::readlink(path.c_str(), buffer, sizeof buffer);
    if (length <= 0 || length == static_cast<ssize_t>(sizeof buffer)) {
      return false;
    }
    std::string link(buffer, static_cast<size_t>(length));
    if (link.front() == '/') {
      path = std::move(link);
    } else {
      path = folderOf(path);
      path += '/';
      path += link;
    }
  }
  errno = ELOOP;
  return false;
}

mode_t modeFor(const std::string& path, AtomicWrite::Mode mode) {
  if (mode == AtomicWrite::Mode::kPrivate) {
    return 0600;
  }
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
    return info.st_mode & kPermissionBits;
  }
  return 0666 & ~static_cast<mode_t>(currentUmask());
}

}  // namespace

bool writeWhole(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

uint32_t currentUmask() {
  // umask() can only be read by setting it, which races with other threads' files.
  FILE* status = std::fopen("/proc/self/status", "re");
  if (status == nullptr) {
    return kDefaultUmask;
  }
  uint32_t mask = kDefaultUmask;
  char line[256];
  while (std::fgets(line, sizeof line, status) != nullptr) {
    unsigned int value = 0;
    if (std::sscanf(line, "Umask: %o", &value) == 1) {
      mask = value & kPermissionBits;
      break;
    }
  }
  std::fclose(status);
  return mask;
}

bool writeFileAtomically(const std::string& path, std::string_view bytes, const AtomicWrite& how) {
  std::string target = path;
  if (how.link == AtomicWrite::Link::kFollow && !finalTarget(target)) {
    return false;
  }
  std::string temporary = target + ".XXXXXX";
  int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) {
    return false;
  }
  bool ok =
      ::fchmod(fd, modeFor(target, how.mode)) == 0 && writeWhole(fd, bytes) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temporary.c_str());
    return false;
  }
  // The rename itself reaches the disk with the folder.
  int folder = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  return true;
}

}  // namespace s::file

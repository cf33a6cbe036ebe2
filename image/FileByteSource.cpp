#include "image/FileByteSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace s::image {

FileByteSource::~FileByteSource() {
  if (fd_ >= 0) {
    ::close(fd_);
  }
}

bool FileByteSource::open(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos) {
    return false;
  }
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    return false;
  }
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(fd);
    return false;
  }
  if (fd_ >= 0) {
    ::close(fd_);
  }
  fd_ = fd;
  size_ = static_cast<uint64_t>(status.st_size);
  return true;
}

bool FileByteSource::read(uint64_t offset, void* destination, size_t length) const {
  if (fd_ < 0 || offset > size_ || length > size_ - offset) {
    return false;
  }
  auto* out = static_cast<uint8_t*>(destination);
  size_t done = 0;
  while (done < length) {
    ssize_t n = ::pread(fd_, out + done, length - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return false;  // shrunk or unreadable
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace s::image

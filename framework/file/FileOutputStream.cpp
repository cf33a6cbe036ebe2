#include "framework/file/FileOutputStream.h"

#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace s::file {

void FileOutputStream::attach(int fd, int64_t position) {
  close();
  fd_ = fd;
  position_ = position;
}

bool FileOutputStream::writeBuffer() {
  size_t done = 0;
  while (done < buffered_) {
    ssize_t n = ::write(fd_, buffer_.get() + done, buffered_ - done);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      // Keep what the file did not take.
      std::memmove(buffer_.get(), buffer_.get() + done, buffered_ - done);
      buffered_ -= done;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  buffered_ = 0;
  return true;
}

bool FileOutputStream::write(const void* bytes, size_t n, size_t& written) {
  written = 0;
  if (fd_ < 0) {
    return false;
  }
  if (!buffer_) {
    buffer_ = std::make_unique_for_overwrite<uint8_t[]>(kBufferSize);
  }
  const auto* in = static_cast<const uint8_t*>(bytes);
  while (written < n) {
    if (buffered_ == kBufferSize && !writeBuffer()) {
      return false;
    }
    size_t take = std::min(n - written, kBufferSize - buffered_);
    std::memcpy(buffer_.get() + buffered_, in + written, take);
    buffered_ += take;
    written += take;
    position_ += static_cast<int64_t>(take);
    if (buffered_ == kBufferSize && !writeBuffer()) {
      return false;
    }
  }
  return true;
}

bool FileOutputStream::writeAll(const void* bytes, size_t n) {
  const auto* in = static_cast<const uint8_t*>(bytes);
  while (n > 0) {
    size_t written = 0;
    bool ok = write(in, n, written);
    in += written;
    n -= written;
    if (!ok && written == 0) {
      return false;
    }
  }
  return true;
}

bool FileOutputStream::flush() {
  if (fd_ < 0) {
    return false;
  }
  return writeBuffer() && ::fdatasync(fd_) == 0;
}

bool FileOutputStream::truncateHere() {
  return flush() && ::ftruncate(fd_, position_) == 0;
}

bool FileOutputStream::seek(int64_t position) {
  if (fd_ < 0 || !writeBuffer()) {
    return false;
  }
  off_t at = ::lseek(fd_, position, SEEK_SET);
  if (at < 0) {
    return false;
  }
  position_ = at;
  return true;
}

bool FileOutputStream::seekToEnd() {
  if (fd_ < 0 || !writeBuffer()) {
    return false;
  }
  off_t at = ::lseek(fd_, 0, SEEK_END);
  if (at < 0) {
    return false;
  }
  position_ = at;
  return true;
}

bool FileOutputStream::close() {
  if (fd_ < 0) {
    buffer_.reset();
    return false;
  }
  bool ok = writeBuffer();
  ok = ::close(fd_) == 0 && ok;
  fd_ = -1;
  buffered_ = 0;
  position_ = 0;
  buffer_.reset();
  return ok;
}

void FileInputStream::attach(int fd) {
  close();
  fd_ = fd;
}

int64_t FileInputStream::read(void* bytes, size_t n) {
  if (fd_ < 0) {
    return -1;
  }
  for (;;) {
    ssize_t got = ::read(fd_, bytes, n);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got > 0) {
      position_ += got;
    }
    return got;
  }
}

void FileInputStream::close() {
  if (fd_ >= 0) {
    ::close(fd_);
  }
  fd_ = -1;
  position_ = 0;
}

}  // namespace s::file

#pragma once

#include <string>

#include "image/ByteSource.h"

namespace s::image {

// A regular file read with pread, so a large module is never read whole.
class FileByteSource final : public ByteSource {
 public:
  FileByteSource() = default;
  ~FileByteSource() override;
  FileByteSource(const FileByteSource&) = delete;
  FileByteSource& operator=(const FileByteSource&) = delete;

  // Opens a regular file (not a folder); false when it cannot be opened.
  bool open(const std::string& path);
  uint64_t size() const override { return size_; }
  bool read(uint64_t offset, void* destination, size_t length) const override;

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
};

}  // namespace s::image

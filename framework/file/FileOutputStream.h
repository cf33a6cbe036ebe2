#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "framework/base/Pooled.h"

namespace s::file {

class IFileOutputStream : public IObject, public IPoolable {};

// A file written through a 64 KiB buffer. A stream whose file could not be opened answers
// false to every write. Releasing the stream closes it.
class FileOutputStream final : public Pooled<FileOutputStream, IFileOutputStream> {
 public:
  static constexpr size_t kBufferSize = 65536;

  FileOutputStream() = default;
  ~FileOutputStream() override { close(); }
  void reset() override { close(); }

  // Takes over an open descriptor positioned at `position`.
  void attach(int fd, int64_t position);
  bool isOpen() const { return fd_ >= 0; }

  // Copies bytes into the buffer, writing each full buffer with one system write; answers
  // false when the file did not take a full buffer (those bytes stay buffered).
  bool write(const void* bytes, size_t n, size_t& written);
  bool write(std::string_view bytes) {
    size_t written = 0;
    return write(bytes.data(), bytes.size(), written);
  }
  // Repeats write() until every byte is taken or a write fails.
  bool writeAll(const void* bytes, size_t n);
  // Writes the buffer out and has the system put the file on disk.
  bool flush();
  // Flushes, then ends the file at the current position.
  bool truncateHere();
  bool seek(int64_t position);
  bool seekToStart() { return seek(0); }
  bool seekToEnd();
  int64_t position() const { return position_; }
  // Flushes and closes; answers whether everything reached the file.
  bool close();

  std::u16string_view className() const override { return u"s_file_FileOutputStream"; }

 private:
  bool writeBuffer();

  int fd_ = -1;
  std::unique_ptr<uint8_t[]> buffer_;
  size_t buffered_ = 0;
  int64_t position_ = 0;
};

class IFileInputStream : public IObject, public IPoolable {};

// A file read from the start on. Releasing the stream closes it.
class FileInputStream final : public Pooled<FileInputStream, IFileInputStream> {
 public:
  FileInputStream() = default;
  ~FileInputStream() override { close(); }
  void reset() override { close(); }

  void attach(int fd);
  bool isOpen() const { return fd_ >= 0; }
  // Answers the bytes read, 0 at the end, -1 on failure.
  int64_t read(void* bytes, size_t n);
  int64_t position() const { return position_; }
  void close();

  std::u16string_view className() const override { return u"s_file_FileInputStream"; }

 private:
  int fd_ = -1;
  int64_t position_ = 0;
};

}  // namespace s::file

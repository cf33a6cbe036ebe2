#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace s::file {

// Replaces one file's content on a thread of its own, atomically (PathWin::writeAtomically),
// so that a thread that must not wait for the disk can have it written. A content handed over
// while an earlier one still waits replaces it: only the latest reaches the file.
class BackgroundWriter {
 public:
  explicit BackgroundWriter(std::u16string path);
  // Writes what is still waiting, then ends the thread.
  ~BackgroundWriter();
  BackgroundWriter(const BackgroundWriter&) = delete;
  BackgroundWriter& operator=(const BackgroundWriter&) = delete;

  // Returns at once.
  void write(std::string bytes);
  // Waits until this content, or a later one, is in the file; answers whether that write
  // succeeded.
  bool writeAndWait(std::string bytes);
  // Waits until everything handed over is written; answers whether the last write succeeded.
  bool wait();

 private:
  uint64_t submit(std::string bytes);
  bool waitFor(uint64_t ticket);
  void run();

  const std::u16string path_;
  std::mutex lock_;
  std::condition_variable changed_;
  std::optional<std::string> pending_;
  uint64_t submitted_ = 0;
  uint64_t written_ = 0;
  bool lastWriteOk_ = true;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace s::file

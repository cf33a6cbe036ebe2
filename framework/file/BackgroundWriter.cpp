#include "framework/file/BackgroundWriter.h"

#include <utility>

#include "framework/file/PathWin.h"

namespace s::file {

BackgroundWriter::BackgroundWriter(std::u16string path) : path_(std::move(path)) {}

BackgroundWriter::~BackgroundWriter() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) {
    thread_.join();
  }
}

uint64_t BackgroundWriter::submit(std::string bytes) {
  std::lock_guard<std::mutex> hold(lock_);
  pending_ = std::move(bytes);
  // Started with the first content, so that a store that never writes has no thread.
  if (!thread_.joinable()) {
    thread_ = std::thread([this] { run(); });
  }
  changed_.notify_all();
  return ++submitted_;
}

void BackgroundWriter::write(std::string bytes) {
  submit(std::move(bytes));
}

bool BackgroundWriter::writeAndWait(std::string bytes) {
  return waitFor(submit(std::move(bytes)));
}

bool BackgroundWriter::wait() {
  uint64_t ticket = 0;
  {
    std::lock_guard<std::mutex> hold(lock_);
    ticket = submitted_;
  }
  return waitFor(ticket);
}

bool BackgroundWriter::waitFor(uint64_t ticket) {
  std::unique_lock<std::mutex> hold(lock_);
  changed_.wait(hold, [this, ticket] { return written_ >= ticket; });
  return lastWriteOk_;
}

void BackgroundWriter::run() {
  PoolPtr<PathWin> file = PathWin::of(path_);
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    changed_.wait(hold, [this] { return pending_.has_value() || stopping_; });
    if (!pending_) {
      return;
    }
    std::string bytes = std::move(*pending_);
    pending_.reset();
    const uint64_t ticket = submitted_;
    hold.unlock();
    const bool ok = file->writeAtomically(bytes);
    hold.lock();
    written_ = ticket;
    lastWriteOk_ = ok;
    changed_.notify_all();
  }
}

}  // namespace s::file

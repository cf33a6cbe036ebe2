#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "framework/base/Pooled.h"
#include "framework/str/StrBuffer.h"
#include "framework/thread/ITask.h"
#include "framework/thread/Thread.h"
#include "gui/icons/ImageCacher.h"

namespace s::gui::listbox2 {

// Reads a list's icons away from its window's thread: reading a program's icon can mean
// reading the desktop's application entries and icon theme, which the window's thread must not
// wait for. The painter asks for a source it finds no entry for and draws the empty icon box
// meanwhile; a worker loads the picture outside the cache's lock and enters it, and the
// window's thread learns of it through finished().
class ListIconLoader final : public ITask {
 public:
  explicit ListIconLoader(image::util::ImageCacher& icons) : icons_(icons) {}
  ~ListIconLoader() override;
  ListIconLoader(const ListIconLoader&) = delete;
  ListIconLoader& operator=(const ListIconLoader&) = delete;

  // Queues the source once, however often it is asked for before it is loaded.
  void request(const str::StrBuffer& source);
  // Loads done so far.
  std::uint64_t finished() const { return finished_.load(std::memory_order_acquire); }
  // Some requested source is not loaded yet.
  bool busy() const;
  // Returns once no load is left (for tests and the end of the list).
  void waitIdle();

  void run() override;

 private:
  image::util::ImageCacher& icons_;
  mutable std::mutex lock_;
  std::vector<std::u16string> queue_;
  // The source being loaded, so that it is not queued again meanwhile.
  std::u16string loading_;
  bool running_ = false;
  std::atomic<std::uint64_t> finished_{0};
  PoolPtr<thread::win::Thread> worker_;
};

}  // namespace s::gui::listbox2

#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "framework/base/IPoolable.h"
#include "gui/listbox2/CellValue.h"

namespace s::gui::listbox2 {

class Record;

// The list operations that a thread other than the list's makes between beginUpdate and
// endUpdate, kept in order and carried to the list's thread together: the whole update costs
// one hand-over instead of one per operation. Only operations whose outcome the caller does
// not wait for are kept (appending a record of its own, handing over a value, remaking a
// column's texts, sorting); the others carry what is kept first and then themselves.
class ListUpdateBatch {
 public:
  enum class Kind : std::uint8_t {
    kAppend,
    kInsert,
    kGiveValue,
    kRefreshColumn,
    kSortByColumn,
    kSort
  };
  struct Entry {
    Kind kind = Kind::kSort;
    Record* record = nullptr;
    std::uint32_t stamp = 0;
    std::uint32_t column = 0;
    std::uint32_t position = 0;
    CellValue value = 0;
    IDestructor<void>* owner = nullptr;
  };
  // An update that goes on this long is carried over in parts.
  static constexpr std::size_t kMaxEntries = 1 << 16;

  // On the thread that opens the update.
  void open() { thread_.store(std::this_thread::get_id(), std::memory_order_relaxed); }
  void close() { thread_.store(std::thread::id(), std::memory_order_relaxed); }
  bool isOpen() const { return thread_.load(std::memory_order_relaxed) != std::thread::id(); }
  bool isOpenHere() const {
    return thread_.load(std::memory_order_relaxed) == std::this_thread::get_id();
  }

  void add(const Entry& entry) { entries_.push_back(entry); }
  bool empty() const { return entries_.empty(); }
  bool full() const { return entries_.size() >= kMaxEntries; }
  const std::vector<Entry>& entries() const { return entries_; }
  // Keeps the room for the next update.
  void clear() { entries_.clear(); }
  // What will not be carried: the values handed over go back to their owners.
  void discard();

 private:
  std::atomic<std::thread::id> thread_{};
  std::vector<Entry> entries_;
};

}  // namespace s::gui::listbox2

#include "gui/listbox2/ListIconLoader.h"

#include <algorithm>

#include "framework/thread/Thread.h"
#include "gui/icons/IconSourceLoader.h"

namespace s::gui::listbox2 {

ListIconLoader::~ListIconLoader() {
  waitIdle();
  if (worker_ != nullptr) {
    worker_->release();
  }
}

void ListIconLoader::request(const str::StrBuffer& source) {
  std::scoped_lock guard(lock_);
  const std::u16string_view wanted = source.view();
  if (wanted.empty() || loading_ == wanted ||
      std::any_of(queue_.begin(), queue_.end(),
                  [&](const std::u16string& queued) { return queued == wanted; })) {
    return;
  }
  queue_.emplace_back(wanted);
  if (!running_) {
    running_ = true;
    if (worker_ == nullptr) {
      worker_ = thread::win::Thread::take();
    }
    worker_->runOnce(this);
  }
}

bool ListIconLoader::busy() const {
  std::scoped_lock guard(lock_);
  return running_;
}

void ListIconLoader::waitIdle() {
  thread::win::Thread* worker = nullptr;
  {
    std::scoped_lock guard(lock_);
    worker = worker_;
  }
  if (worker != nullptr) {
    worker->waitIdle();
  }
}

void ListIconLoader::run() {
  PoolPtr<str::StrBuffer> key = str::StrBuffer::make();
  for (;;) {
    {
      std::scoped_lock guard(lock_);
      if (queue_.empty()) {
        loading_.clear();
        running_ = false;
        return;
      }
      loading_ = std::move(queue_.back());
      queue_.pop_back();
      key->assign(loading_);
    }
    icons_.store(*key, image::util::loadIconSource(key->view()));
    finished_.fetch_add(1, std::memory_order_release);
  }
}

}  // namespace s::gui::listbox2

#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "framework/base/Growth.h"
#include "framework/base/IObject.h"
#include "framework/base/IPoolable.h"
#include "framework/base/ObjLocker.h"

namespace s::thread {

// A pool of T: a last-in-first-out free list of reset objects, bounded by a capacity.
// Creation and destruction run outside the lock; reset runs inside it.
template <class T>
class EasyPooler final : public IObject, public IGenerator<T>, public IDestructor<T> {
 public:
  using Create = T* (*)();
  using Destroy = void (*)(T*);
  using Reset = void (*)(T*);

  EasyPooler(uint32_t capacity, Create create, Destroy destroy, Reset reset)
      : capacity_(capacity), create_(create), destroy_(destroy), reset_(reset) {}

  ~EasyPooler() override {
    for (T* object : free_) {
      destroy_(object);
    }
  }
  EasyPooler(const EasyPooler&) = delete;
  EasyPooler& operator=(const EasyPooler&) = delete;

  T* take() {
    {
      std::scoped_lock guard(lock_);
      if (!free_.empty()) {
        T* object = free_.back();
        free_.pop_back();
        return object;
      }
    }
    return create_();
  }

  void giveBack(T* object) {
    {
      std::scoped_lock guard(lock_);
      if (free_.size() < capacity_) {
        reset_(object);
        if (free_.size() == free_.capacity()) {
          free_.reserve(grownCapacity(static_cast<uint32_t>(free_.capacity())));
        }
        free_.push_back(object);
        return;
      }
    }
    destroy_(object);
  }

  T* generate() override { return take(); }
  void destroy(T*& slot) override {
    if (slot != nullptr) {
      giveBack(slot);
      slot = nullptr;
    }
  }

  uint32_t capacity() const { return capacity_; }
  uint32_t freeCount() {
    std::scoped_lock guard(lock_);
    return static_cast<uint32_t>(free_.size());
  }

  std::u16string_view className() const override { return u"s_thread_EasyPooler"; }
  ObjectPtr newInstance() const override {
    return ObjectPtr(new EasyPooler(capacity_, create_, destroy_, reset_));
  }

 private:
  ObjLocker lock_;
  std::vector<T*> free_;
  uint32_t capacity_;
  Create create_;
  Destroy destroy_;
  Reset reset_;
};

}  // namespace s::thread

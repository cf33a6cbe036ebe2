#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "framework/base/Growth.h"
#include "framework/base/IObject.h"
#include "framework/base/IPoolable.h"
#include "framework/base/ObjLocker.h"

namespace s::thread {

// A pool that can also bound the total size of what it keeps. Subclasses say how objects
// are made, reset and destroyed.
template <class T>
class PoolerBase : public IObject, public IGenerator<T>, public IDestructor<T> {
 public:
  static constexpr int kMaxCount = 1000;
  static constexpr int kMaxObjectSize = 1024;
  static constexpr int kMaxTotalSize = 102400;

  ~PoolerBase() override = default;

  virtual int sizeOf(const T& /*object*/) const { return kMaxObjectSize; }

  // size -1: ask sizeOf().
  virtual void giveBack(T* object, int size) {
    {
      std::scoped_lock guard(lock_);
      if (accepts(*object, size)) {
        resetObject(object);
        if (free_.size() == free_.capacity()) {
          free_.reserve(grownCapacity(static_cast<uint32_t>(free_.capacity())));
        }
        free_.push_back(object);
        if (sizeAccounting_) {
          totalSize_ += size < 0 ? sizeOf(*object) : size;
        }
        return;
      }
    }
    destroyObject(object);
  }

  virtual T* take() {
    {
      std::scoped_lock guard(lock_);
      if (!free_.empty()) {
        T* object = free_.back();
        free_.pop_back();
        if (sizeAccounting_) {
          totalSize_ -= sizeOf(*object);
        }
        return object;
      }
    }
    return this->generate();
  }

  virtual void resetObject(T* object) = 0;
  virtual void destroyObject(T*& slot) = 0;

  void destroy(T*& slot) override {
    if (slot != nullptr) {
      giveBack(slot, -1);
      slot = nullptr;
    }
  }

  void setSizeAccounting(bool on) {
    std::scoped_lock guard(lock_);
    sizeAccounting_ = on;
  }
  int totalSize() {
    std::scoped_lock guard(lock_);
    return totalSize_;
  }
  uint32_t freeCount() {
    std::scoped_lock guard(lock_);
    return static_cast<uint32_t>(free_.size());
  }

  std::u16string_view className() const override { return u"s_thread_PoolerBase"; }

 protected:
  PoolerBase() = default;

  // Destroys every kept object; subclasses call it from their destructor, while
  // destroyObject() is still theirs.
  void destroyFree() {
    std::vector<T*> objects;
    {
      std::scoped_lock guard(lock_);
      objects.swap(free_);
      totalSize_ = 0;
    }
    for (T* object : objects) {
      destroyObject(object);
    }
  }

 private:
  bool accepts(const T& object, int& size) const {
    if (free_.size() >= static_cast<size_t>(kMaxCount)) {
      return false;
    }
    if (!sizeAccounting_) {
      return true;
    }
    if (size < 0) {
      size = sizeOf(object);
    }
    return size <= kMaxObjectSize && totalSize_ + size <= kMaxTotalSize;
  }

  ObjLocker lock_;
  std::vector<T*> free_;
  int totalSize_ = 0;
  bool sizeAccounting_ = false;
};

// The abstract size-aware pool that concrete factories (such as the XML attribute factory)
// derive from.
template <class T>
class Factory : public PoolerBase<T> {
 public:
  std::u16string_view className() const override { return u"s_thread_Factory"; }
};

}  // namespace s::thread

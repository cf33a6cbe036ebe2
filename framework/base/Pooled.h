#pragma once

#include <cstdint>
#include <memory>

#include "framework/base/EasyPooler.h"
#include "framework/base/IObject.h"
#include "framework/base/IPoolable.h"

namespace s {

inline constexpr uint32_t kPoolCapacity = 1000;

// Gives a taken object back to its pool when the holder goes.
struct Releaser {
  void operator()(IPoolable* object) const {
    if (object != nullptr) {
      object->release();
    }
  }
};
template <class T>
using PoolPtr = std::unique_ptr<T, Releaser>;

// Hands a pooled object to a holder that keeps it by plain pointer and gives it back itself (an
// owning collection, a box's children, a cell's value word): from here on the holder owns it.
template <class T>
[[nodiscard]] T* handOver(PoolPtr<T>&& object) {
  return object.release();
}

// Gives the elements of a collection back through their own release(): for elements of
// several pooled classes, or of a class whose release() does more than give it back.
template <class T>
class ReleasingDisposer final : public IDestructor<T> {
 public:
  static ReleasingDisposer& instance() {
    static ReleasingDisposer disposer;
    return disposer;
  }
  void destroy(T*& slot) override {
    Releaser{}(slot);
    slot = nullptr;
  }
};

// Makes `Derived` a pooled class: its own function-local pool (built once, thread-safely, on
// first use), `take()` and `release()`. `Base` is the class's interface
// chain and must include IObject and IPoolable. Derived's default constructor must leave the
// object in the state reset() gives.
template <class Derived, class Base, uint32_t Capacity = kPoolCapacity>
class Pooled : public Base {
 public:
  using Base::Base;

  // The pool lives until the process ends: objects that other statics give back while the
  // process exits must still find it, whatever order the statics were made in.
  static thread::EasyPooler<Derived>& pool() {
    static auto* pool = new thread::EasyPooler<Derived>(Capacity, &create, &dispose, &resetObject);
    return *pool;
  }
  static Derived* take() { return pool().take(); }
  static PoolPtr<Derived> make() { return PoolPtr<Derived>(take()); }

  void release() override { pool().giveBack(static_cast<Derived*>(this)); }
  ObjectPtr newInstance() const override { return ObjectPtr(take()); }

 private:
  static Derived* create() { return new Derived(); }
  static void dispose(Derived* object) { delete object; }
  static void resetObject(Derived* object) { object->reset(); }
};

// The interface chain of a plain pooled class.
class PoolableObject : public IObject, public IPoolable {};

}  // namespace s

#pragma once

#include "framework/base/Pooled.h"

namespace s {

// A pooled object that its holder may or may not own, for the setters that take an object and
// a flag saying whether it is handed over (a widget's drawer, a window's skin). An owned object
// goes back to its pool when the holder lets it go: when another object is set, on reset() and
// when the holder goes.
template <class T>
class MaybeOwned {
 public:
  MaybeOwned() = default;
  MaybeOwned(const MaybeOwned&) = delete;
  MaybeOwned& operator=(const MaybeOwned&) = delete;
  ~MaybeOwned() = default;

  T* get() const { return object_; }
  bool isOwned() const { return owned_ != nullptr; }

  // Holds `object`, owning it when `owned`. The same object set again stays, and only whether
  // it is owned changes: one that is no longer owned is the caller's again.
  void set(T* object, bool owned) {
    if (object != object_) {
      owned_.reset();
      object_ = object;
    } else if (!owned) {
      static_cast<void>(owned_.release());
    }
    if (owned && object != nullptr && owned_ == nullptr) {
      owned_.reset(object);
    }
  }

  void reset() { set(nullptr, false); }

 private:
  T* object_ = nullptr;
  // object_ when it is owned.
  PoolPtr<T> owned_;
};

}  // namespace s

#pragma once

#include <cstdlib>

#include "framework/base/IObject.h"
#include "framework/base/IPoolable.h"

namespace s {

// The destructors that free rather than recycle. Each has one process-wide instance per
// element type, made on first use.

// Deletes through the virtual destructor.
template <class T>
class CleanerIObject final : public IDestructor<T> {
 public:
  static CleanerIObject& instance() {
    static CleanerIObject cleaner;
    return cleaner;
  }
  void destroy(T*& slot) override {
    if (slot != nullptr) {
      delete static_cast<IObject*>(slot);
      slot = nullptr;
    }
  }
};

// Frees memory that came from malloc.
template <class T>
class CleanerRaw final : public IDestructor<T> {
 public:
  static CleanerRaw& instance() {
    static CleanerRaw cleaner;
    return cleaner;
  }
  void destroy(T*& slot) override {
    std::free(slot);  // NOLINT(cppcoreguidelines-no-malloc): the slot holds malloc'd memory
    slot = nullptr;
  }
};

// Plain delete of the exact type, for objects outside the IObject family.
template <class T>
class CleanerRawObject final : public IDestructor<T> {
 public:
  static CleanerRawObject& instance() {
    static CleanerRawObject cleaner;
    return cleaner;
  }
  void destroy(T*& slot) override {
    delete slot;
    slot = nullptr;
  }
};

}  // namespace s

#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "framework/base/IPoolable.h"
#include "framework/base/Pooled.h"
#include "framework/col/Comparators.h"
#include "framework/col/ElementText.h"

namespace s::col {

// Object pointers over a block of elements (`Storage`: ArrayBase or ListBase, which give
// elementAt(i)). With a destructor set, freeMemory() and reset() dispose of the elements
// through it; plain removals hand them back to the caller. `Derived` is the pooled class.
template <class T, class Derived, class Storage>
class PointerCollection : public Pooled<Derived, Storage> {
 public:
  PointerCollection() : Pooled<Derived, Storage>(kShift) {}
  ~PointerCollection() override { disposeElements(); }

  void setDestructor(IDestructor<T>* destructor) { destructor_ = destructor; }
  IDestructor<T>* destructor() const { return destructor_; }

  T* at(uint32_t i) const { return *slotAt(i); }
  T* last() const { return at(this->count() - 1); }
  void push(T* element) { this->append(&element, 1); }
  // Takes over an element, for a collection that owns its elements (has a destructor).
  void push(PoolPtr<T> element) { push(handOver(std::move(element))); }
  T* pop() {
    T* element = last();
    this->dropLast(1);
    return element;
  }
  // Remove an element and hand it over, for a collection that owns its elements: it goes
  // back to its pool when the caller lets it go, not through the destructor.
  PoolPtr<T> takeLast() { return PoolPtr<T>(pop()); }
  PoolPtr<T> takeAt(uint32_t i) {
    PoolPtr<T> element(at(i));
    this->removeRange(i, 1);
    return element;
  }
  // Removes element i and disposes of it through the destructor, when one is set.
  void disposeAt(uint32_t i) {
    T* element = at(i);
    this->removeRange(i, 1);
    if (destructor_ != nullptr) {
      destructor_->destroy(element);
    }
  }
  int64_t indexOf(const T* element) const {
    for (uint32_t i = 0; i < this->count(); ++i) {
      if (at(i) == element) {
        return i;
      }
    }
    return -1;
  }

  void freeMemory() override {
    disposeElements();
    Storage::freeMemory();
  }
  // The destructor is part of how the collection was set up, not of its content; a recycled
  // one starts without it.
  void reset() override {
    freeMemory();
    destructor_ = nullptr;
  }

  static const CompP& defaultComparator() { return CompP::instance(); }

  // Where element i is kept, for writing it in place.
  T** slotAt(uint32_t i) const { return reinterpret_cast<T**>(this->elementAt(i)); }

 protected:
  std::u16string elementText(uint32_t i) const override { return pointerText(at(i)); }

 private:
  static constexpr uint8_t kShift = sizeof(void*) == 8 ? 3 : 2;

  void disposeElements() {
    if (destructor_ == nullptr) {
      return;
    }
    for (uint32_t i = 0; i < this->count(); ++i) {
      destructor_->destroy(*slotAt(i));
    }
    this->clear();
  }

  IDestructor<T>* destructor_ = nullptr;
};

}  // namespace s::col

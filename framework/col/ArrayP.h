#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "framework/base/IPoolable.h"
#include "framework/base/Pooled.h"
#include "framework/col/ArrayBase.h"

namespace s::col::array {

// An array of object pointers. With a destructor set, freeMemory() and reset() dispose of
// the elements through it; plain removals hand them back to the caller. `Derived` is the
// pooled class built on it.
template <class T, class Derived>
class PointerArray : public Pooled<Derived, ArrayBase> {
 public:
  PointerArray() : Pooled<Derived, ArrayBase>(kShift) {}
  ~PointerArray() override { disposeElements(); }

  void setDestructor(IDestructor<T>* destructor) { destructor_ = destructor; }
  IDestructor<T>* destructor() const { return destructor_; }

  T** data() { return reinterpret_cast<T**>(this->bytes()); }
  T* const* data() const { return reinterpret_cast<T* const*>(this->bytes()); }
  T* at(uint32_t i) const { return data()[i]; }
  T*& operator[](uint32_t i) { return data()[i]; }
  T* operator[](uint32_t i) const { return data()[i]; }
  T* last() const { return data()[this->count() - 1]; }
  void push(T* element) { this->append(&element, 1); }
  T* pop() {
    T* element = last();
    this->dropLast(1);
    return element;
  }
  int64_t indexOf(const T* element) const {
    for (uint32_t i = 0; i < this->count(); ++i) {
      if (data()[i] == element) {
        return i;
      }
    }
    return -1;
  }

  T** begin() { return data(); }
  T** end() { return data() + this->count(); }
  T* const* begin() const { return data(); }
  T* const* end() const { return data() + this->count(); }

  void freeMemory() override {
    disposeElements();
    ArrayBase::freeMemory();
  }

 protected:
  std::u16string elementText(uint32_t i) const override {
    char text[2 + 16 + 1];
    std::snprintf(text, sizeof text, "%p", static_cast<const void*>(data()[i]));
    std::string ascii(text);
    return {ascii.begin(), ascii.end()};
  }

 private:
  static constexpr uint8_t kShift = sizeof(void*) == 8 ? 3 : 2;

  void disposeElements() {
    if (destructor_ == nullptr) {
      return;
    }
    for (uint32_t i = 0; i < this->count(); ++i) {
      destructor_->destroy(data()[i]);
    }
    this->clear();
  }

  IDestructor<T>* destructor_ = nullptr;
};

template <class T>
class ArrayP final : public PointerArray<T, ArrayP<T>> {
 public:
  ArrayP() = default;
  explicit ArrayP(IDestructor<T>* destructor) { this->setDestructor(destructor); }

  // The destructor is part of how the array was set up, not of its content; a recycled
  // array starts without one.
  void reset() override {
    this->freeMemory();
    this->setDestructor(nullptr);
  }

  std::u16string_view className() const override { return u"s_col__array_ArrayP"; }
};

}  // namespace s::col::array

namespace s::col {
using array::ArrayP;
}  // namespace s::col

#pragma once

#include <cstdint>
#include <string>

#include "framework/col/ArrayBase.h"
#include "framework/col/PointerCollection.h"

namespace s::col::array {

// An array of object pointers, contiguous: data(), begin() and end() give them as T**.
template <class T, class Derived>
class PointerArray : public PointerCollection<T, Derived, ArrayBase> {
 public:
  T** data() { return reinterpret_cast<T**>(this->bytes()); }
  T* const* data() const { return reinterpret_cast<T* const*>(this->bytes()); }
  T*& operator[](uint32_t i) { return data()[i]; }
  T* operator[](uint32_t i) const { return data()[i]; }

  T** begin() { return data(); }
  T** end() { return data() + this->count(); }
  T* const* begin() const { return data(); }
  T* const* end() const { return data() + this->count(); }
};

template <class T>
class ArrayP final : public PointerArray<T, ArrayP<T>> {
 public:
  ArrayP() = default;
  explicit ArrayP(IDestructor<T>* destructor) { this->setDestructor(destructor); }

  std::u16string_view className() const override { return u"s_col__array_ArrayP"; }
};

}  // namespace s::col::array

namespace s::col {
using array::ArrayP;
}  // namespace s::col

#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <type_traits>

#include "framework/base/Pooled.h"
#include "framework/col/ArrayBase.h"

namespace s::col::array {

namespace detail {
template <class T>
constexpr uint8_t shiftOf() {
  static_assert(std::has_single_bit(sizeof(T)) && sizeof(T) <= 8);
  return static_cast<uint8_t>(std::countr_zero(sizeof(T)));
}
}  // namespace detail

// An array of plain values: bytes, 32- and 64-bit integers.
template <class T, class Derived>
class TypedArray : public Pooled<Derived, ArrayBase> {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  TypedArray() : Pooled<Derived, ArrayBase>(detail::shiftOf<T>()) {}

  T* data() { return reinterpret_cast<T*>(this->bytes()); }
  const T* data() const { return reinterpret_cast<const T*>(this->bytes()); }
  T& at(uint32_t i) { return data()[i]; }
  const T& at(uint32_t i) const { return data()[i]; }
  T& operator[](uint32_t i) { return data()[i]; }
  const T& operator[](uint32_t i) const { return data()[i]; }
  T& last() { return data()[this->count() - 1]; }
  void push(T value) { this->append(&value, 1); }
  T pop() {
    T value = last();
    this->dropLast(1);
    return value;
  }
  // Position of the first element equal to value, or -1.
  int64_t indexOf(T value) const {
    for (uint32_t i = 0; i < this->count(); ++i) {
      if (data()[i] == value) {
        return i;
      }
    }
    return -1;
  }

  T* begin() { return data(); }
  T* end() { return data() + this->count(); }
  const T* begin() const { return data(); }
  const T* end() const { return data() + this->count(); }

 protected:
  std::u16string elementText(uint32_t i) const override {
    std::string text = std::to_string(data()[i]);
    return {text.begin(), text.end()};
  }
};

#define NETVIGIL_VALUE_ARRAY(Name, Type)                                              \
  class Name final : public TypedArray<Type, Name> {                                  \
   public:                                                                            \
    std::u16string_view className() const override { return u"s_col__array_" #Name; } \
  }

NETVIGIL_VALUE_ARRAY(ArrayU08, uint8_t);
NETVIGIL_VALUE_ARRAY(ArrayS08, int8_t);
NETVIGIL_VALUE_ARRAY(ArrayU32, uint32_t);
NETVIGIL_VALUE_ARRAY(ArrayS32, int32_t);
NETVIGIL_VALUE_ARRAY(ArrayS64, int64_t);

#undef NETVIGIL_VALUE_ARRAY

}  // namespace s::col::array

namespace s::col {
using array::ArrayS08;
using array::ArrayS32;
using array::ArrayS64;
using array::ArrayU08;
using array::ArrayU32;
}  // namespace s::col

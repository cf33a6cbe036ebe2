#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "framework/base/IObject.h"

namespace s::col {

// A comparator of plain values in their natural order, answering -1, 0 or 1. Each concrete
// comparator has one process-wide instance.
template <class T, class Derived>
class ValueComparator : public IObject, public IComparator<T> {
 public:
  static const Derived& instance() {
    static const Derived comparator;
    return comparator;
  }

  int compare(const T& a, const T& b) const override {
    return std::less<T>{}(b, a) - std::less<T>{}(a, b);
  }

  // Comparators hold no state: every one of a class is the same.
  ObjectPtr newInstance() const override { return ObjectPtr(new Derived()); }
};

#define NETVIGIL_VALUE_COMPARATOR(Name, Type)                                  \
  class Name final : public ValueComparator<Type, Name> {                      \
   public:                                                                     \
    std::u16string_view className() const override { return u"s_col_" #Name; } \
  }

// Pointers in address order (std::less gives the total order the raw < does not promise).
NETVIGIL_VALUE_COMPARATOR(CompP, const void*);
NETVIGIL_VALUE_COMPARATOR(CompU08, uint8_t);
NETVIGIL_VALUE_COMPARATOR(CompS08, int8_t);
NETVIGIL_VALUE_COMPARATOR(CompU32, uint32_t);
NETVIGIL_VALUE_COMPARATOR(CompS32, int32_t);
NETVIGIL_VALUE_COMPARATOR(CompS64, int64_t);

#undef NETVIGIL_VALUE_COMPARATOR

}  // namespace s::col

#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "framework/col/ArrayP.h"

namespace s::col {

namespace detail {

inline constexpr uint32_t kInsertionSortMax = 6;

// Sorts [lo, hi) into `to`, whose range holds the same elements as `from`'s on entry; the
// halves are sorted into `from` first, so the two buffers swap roles at every level.
template <class T, class Compare>
void mergeSortRange(T** from, T** to, uint32_t lo, uint32_t hi, Compare& compare) {
  uint32_t n = hi - lo;
  if (n <= kInsertionSortMax) {
    for (uint32_t i = lo + 1; i < hi; ++i) {
      T* element = to[i];
      uint32_t j = i;
      for (; j > lo && compare(to[j - 1], element) > 0; --j) {
        to[j] = to[j - 1];
      }
      to[j] = element;
    }
    return;
  }
  uint32_t mid = lo + n / 2;
  mergeSortRange(to, from, lo, mid, compare);
  mergeSortRange(to, from, mid, hi, compare);
  if (compare(from[mid - 1], from[mid]) <= 0) {
    std::memcpy(to + lo, from + lo, sizeof(T*) * n);
    return;
  }
  uint32_t left = lo;
  uint32_t right = mid;
  uint32_t i = lo;
  while (left < mid && right < hi) {
    to[i++] = compare(from[left], from[right]) <= 0 ? from[left++] : from[right++];
  }
  // One half is used up; the rest of the other is in order already.
  std::memcpy(to + i, from + left, sizeof(T*) * (mid - left));
  std::memcpy(to + i + (mid - left), from + right, sizeof(T*) * (hi - right));
}

}  // namespace detail

// Stable merge sort of pointers: compare(a, b) answers < 0, 0 or > 0, and equal elements
// keep their order. `copy` is a scratch buffer of at least `count` pointers.
template <class T, class Compare>
void mergeSort(T** items, uint32_t count, Compare compare, T** copy) {
  if (count < 2) {
    return;
  }
  std::memcpy(copy, items, sizeof(T*) * count);
  detail::mergeSortRange(copy, items, 0, count, compare);
}

// With a scratch array that a caller reuses across sorts; it is left empty, its block kept,
// so repeated sorts allocate nothing once it has grown.
template <class T, class Compare>
void mergeSort(T** items, uint32_t count, Compare compare, ArrayP<T>& scratch) {
  scratch.clear();
  scratch.ensureCapacity(count);
  mergeSort(items, count, compare, scratch.data());
}

// With a buffer of its own, for one-off sorts.
template <class T, class Compare>
void mergeSort(T** items, uint32_t count, Compare compare) {
  std::vector<T*> copy(count);
  mergeSort(items, count, compare, copy.data());
}

// The compare function with user data that C-style callers pass.
template <class T>
using CompareFunction = int (*)(T* a, T* b, void* userData);

template <class T>
void mergeSort(T** items, uint32_t count, CompareFunction<T> compare, void* userData,
               ArrayP<T>& scratch) {
  mergeSort(
      items, count, [compare, userData](T* a, T* b) { return compare(a, b, userData); }, scratch);
}

// Sorts an ArrayP in place.
template <class T, class Derived, class Compare>
void mergeSort(array::PointerArray<T, Derived>& array, Compare compare, ArrayP<T>& scratch) {
  mergeSort(array.data(), array.count(), compare, scratch);
}

// In address order, the default of pointer collections.
template <class T, class Derived>
void mergeSort(array::PointerArray<T, Derived>& array, ArrayP<T>& scratch) {
  mergeSort(
      array, [](const T* a, const T* b) { return CompP::instance().compare(a, b); }, scratch);
}

}  // namespace s::col

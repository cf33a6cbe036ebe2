#pragma once

#include <cstdint>
#include <string>

#include "framework/col/ListBase.h"
#include "framework/col/PointerCollection.h"

namespace s::col::list {

// A ring-buffer queue of object pointers; like ArrayP it may own its elements through an
// IDestructor.
template <class T>
class ListP final : public PointerCollection<T, ListP<T>, ListBase> {
 public:
  ListP() = default;
  explicit ListP(IDestructor<T>* destructor) { this->setDestructor(destructor); }

  T* first() const { return this->at(0); }
  void pushFirst(T* element) { this->prepend(&element, 1); }
  T* popFirst() {
    T* element = first();
    this->dropFirst(1);
    return element;
  }
  using ListBase::popFirst;

  std::u16string_view className() const override { return u"s_col_list_ListP"; }
};

}  // namespace s::col::list

namespace s::col {
using list::ListP;
}  // namespace s::col

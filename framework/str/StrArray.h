#pragma once

#include <string_view>

#include "framework/col/ArrayP.h"
#include "framework/str/StrBuffer.h"

namespace s::str {

// An owning list of texts: dropping the list releases every element to the StrBuffer pool.
class StrArray final : public col::array::PointerArray<StrBuffer, StrArray> {
 public:
  StrArray() { setDestructor(&StrBuffer::pool()); }

  // The elements always go back to the StrBuffer pool: a recycled list keeps its destructor.
  void reset() override { freeMemory(); }

  // Appends a new buffer holding the text.
  void add(std::u16string_view text) { push(StrBuffer::of(text)); }

  std::u16string_view className() const override { return u"s_str_StrArray"; }
};

}  // namespace s::str

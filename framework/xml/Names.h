#pragma once

#include <string_view>

#include "framework/str/StrBuffer.h"

namespace s::xml {

// Element and attribute names are looked up without regard to case.
inline bool sameName(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && str::StrBuffer::compareIgnoreCase(a, b) == 0;
}

}  // namespace s::xml

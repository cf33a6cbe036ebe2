#pragma once

#include <cstdint>
#include <string_view>

#include "framework/base/IObject.h"

namespace s::str {

// Read access to a counted UTF-16 text.
class IStr : public IObject {
 public:
  virtual uint32_t length() const = 0;
  virtual std::u16string_view view() const = 0;
  // Zero-terminated; never null.
  virtual const char16_t* text() const = 0;
};

}  // namespace s::str

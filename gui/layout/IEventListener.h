#pragma once

#include <cstdint>

#include "framework/base/IObject.h"

namespace s::gui::events {

// The toolkit's one callback: `source` raised event `code` (codes are listed by each source).
class IEventListener {
 public:
  virtual ~IEventListener() = default;
  virtual void onEvent(IObject* source, std::int32_t code) = 0;
};

}  // namespace s::gui::events

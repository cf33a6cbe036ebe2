#pragma once

#include <cstdint>

#include "framework/base/IObject.h"

namespace s::gui::events {

// The toolkit's one callback: a source reports a numbered event to its listeners. It lives
// with the root interfaces because the framework's own services (the localizer) report
// through it too.
class IEventListener {
 public:
  virtual ~IEventListener() = default;
  virtual void onEvent(IObject* source, int32_t code) = 0;
};

}  // namespace s::gui::events

#pragma once

#include "platform/ui/Event.h"

namespace s::platform::ui {

// Receives the events of one display's loop, on that display's thread.
class IEventSink {
 public:
  virtual ~IEventSink() = default;
  virtual void onPlatformEvent(const Event& event) = 0;
};

}  // namespace s::platform::ui

#pragma once

#include <cstdint>
#include <vector>

#include "framework/base/IEventListener.h"

namespace s::gui::events {

// Listeners in registration order, a plain array. Walked by index, so a listener added during
// an event hears it too.
class ListenerList {
 public:
  void add(IEventListener* listener);
  void remove(IEventListener* listener);
  void clear() { listeners_.clear(); }
  bool empty() const { return listeners_.empty(); }
  std::size_t size() const { return listeners_.size(); }
  void fire(IObject* source, std::int32_t code) const;

 private:
  std::vector<IEventListener*> listeners_;
};

}  // namespace s::gui::events

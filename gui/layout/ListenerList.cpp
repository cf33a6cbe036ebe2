#include "gui/layout/ListenerList.h"

#include <algorithm>

namespace s::gui::events {

void ListenerList::add(IEventListener* listener) {
  if (listener != nullptr) {
    listeners_.push_back(listener);
  }
}

void ListenerList::remove(IEventListener* listener) {
  auto it = std::find(listeners_.begin(), listeners_.end(), listener);
  if (it != listeners_.end()) {
    listeners_.erase(it);
  }
}

void ListenerList::fire(IObject* source, std::int32_t code) const {
  // By index: a listener may add another during the event, which moves the storage.
  for (std::size_t i = 0; i < listeners_.size(); ++i) {  // NOLINT(modernize-loop-convert)
    listeners_[i]->onEvent(source, code);
  }
}

}  // namespace s::gui::events

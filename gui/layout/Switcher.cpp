#include "gui/layout/Switcher.h"

namespace s::gui::events {

void Switcher::onEvent(IObject* source, std::int32_t /*code*/) {
  if (source != source_) {
    return;
  }
  for (IComponent* target : targets_) {
    target->setEnabled(enable_);
  }
}

void Switcher::reset() {
  source_ = nullptr;
  targets_.clear();
}

}  // namespace s::gui::events

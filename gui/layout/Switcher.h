#pragma once

#include <vector>

#include "framework/base/IEventListener.h"
#include "framework/base/IObject.h"
#include "framework/base/IPoolable.h"
#include "gui/layout/IComponent.h"

namespace s::gui::events {

// On any event from its source, enables or disables every target (Enabler, Disabler), e.g.
// the buttons that need a selected row.
class Switcher : public IEventListener, public IObject, public IPoolable {
 public:
  void setSource(IObject* source) { source_ = source; }
  void addTarget(IComponent* target) { targets_.push_back(target); }
  void onEvent(IObject* source, std::int32_t code) override;
  void reset() override;

 protected:
  explicit Switcher(bool enable) : enable_(enable) {}

 private:
  bool enable_;
  IObject* source_ = nullptr;
  std::vector<IComponent*> targets_;
};

}  // namespace s::gui::events

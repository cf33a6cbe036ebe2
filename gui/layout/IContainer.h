#pragma once

#include "gui/layout/IComponent.h"

namespace s::gui {

// A component that holds others; its inset separates its edge from its children's area.
class IContainer : public virtual IComponent {
 public:
  virtual std::int32_t getInsetLeft() const = 0;
  virtual std::int32_t getInsetRight() const = 0;
  virtual std::int32_t getInsetTop() const = 0;
  virtual std::int32_t getInsetBottom() const = 0;
};

}  // namespace s::gui

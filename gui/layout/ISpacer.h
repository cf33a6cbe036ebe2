#pragma once

#include <cstdint>

#include "gui/layout/IComponent.h"

namespace s::gui {

// An empty, painted component that takes room in a layout.
class ISpacer : public virtual IComponent {
 public:
  virtual void setHorizontal() = 0;
  virtual void setVertical() = 0;
  virtual void setWidthPercent(std::int32_t percent) = 0;
  virtual void setHeightPercent(std::int32_t percent) = 0;
  virtual void setFixedWidth(std::int32_t px) = 0;
  virtual void setFixedHeight(std::int32_t px) = 0;
};

}  // namespace s::gui

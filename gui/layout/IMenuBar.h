#pragma once

#include "gui/layout/IMenuCommands.h"

namespace s::gui {

// The menu bar as its window sees it: the first menu commands are offered to, and the one F10
// opens.
class IMenuBar : public IMenuCommands {
 public:
  virtual void openFromKeyboard() = 0;
};

}  // namespace s::gui

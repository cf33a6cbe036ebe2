#pragma once

#include <cstdint>

#include "framework/base/IEventListener.h"
#include "gui/layout/IMenuCommands.h"

namespace s::gui {

class IWindow;

// A menu that pops up at a point. Whoever opens one (a list, a window, the tray icon) gets the
// chosen command back and routes it (IMenuCommands).
class IPopupMenu : public events::IEventListener, public IMenuCommands {
 public:
  // Shows the menu with its top edge (or its bottom edge) at (x, y) in screen coordinates and
  // returns when it closes, on the owner's thread: the chosen command id, or -1 when the menu
  // closed without a choice. Work queued to that thread runs meanwhile.
  virtual std::int32_t track(int x, int y, IWindow& owner) = 0;
  virtual std::int32_t trackBottomAligned(int x, int y, IWindow& owner) = 0;
};

}  // namespace s::gui

#pragma once

#include <cstdint>

#include "framework/base/IEventListener.h"

namespace s::gui {

class IWindow;

// A menu that pops up at a point. Whoever opens one (a list, a window, the tray icon) gets the
// chosen command back and routes it: the first menu that contains the command dispatches it,
// so a command found in both the menu bar and a context menu reaches the menu bar only.
class IPopupMenu : public events::IEventListener {
 public:
  // Shows the menu with its top edge (or its bottom edge) at (x, y) in screen coordinates and
  // returns when it closes, on the owner's thread: the chosen command id, or -1 when the menu
  // closed without a choice. Work queued to that thread runs meanwhile.
  virtual std::int32_t track(int x, int y, IWindow& owner) = 0;
  virtual std::int32_t trackBottomAligned(int x, int y, IWindow& owner) = 0;
  // True when an item or, recursively, a sub-menu has the command.
  virtual bool containsCommand(std::int32_t commandId) const = 0;
  // Keeps the command as the last one and calls onEvent(menu, 0) on every listener in order.
  virtual void dispatch(std::int32_t commandId) = 0;
};

}  // namespace s::gui

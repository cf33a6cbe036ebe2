#pragma once

#include <cstdint>

namespace s::gui {

// What every menu offers to whoever routes a chosen command (a window, a list): the first menu
// that contains the command dispatches it, so a window offers a command to its menu bar, its
// tray menu and its context menu in that order, and a command found in both the bar and the
// context menu reaches the bar only.
class IMenuCommands {
 public:
  virtual ~IMenuCommands() = default;
  // True when an item or, recursively, a sub-menu has the command.
  virtual bool containsCommand(std::int32_t commandId) const = 0;
  // Keeps the command as the last one and tells the menu's listeners (onEvent(menu, 0)) in
  // order.
  virtual void dispatch(std::int32_t commandId) = 0;
};

}  // namespace s::gui

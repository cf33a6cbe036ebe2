#pragma once

#include <cstdint>
#include <functional>

#include "framework/base/IEventListener.h"
#include "framework/base/Pooled.h"
#include "gui/menu/MenuEx.h"
#include "gui/menu/PopupMenu.h"

namespace s::gui::drawer {
class Skinner;
}
namespace s::gui::win {
class Window;
}

namespace s::app {

// The demo window's menus and tray icon: a menu bar (File: hide to the tray, exit; View: keep on
// top, and a sub-menu with one radio entry per skin), and the tray menu (show, exit) of an
// icon kept in the tray while the demo runs, whose left click hides and shows the window.
class DemoMenus final : public gui::events::IEventListener {
 public:
  using ShowSkin = std::function<void(std::uint32_t index)>;
  DemoMenus(gui::drawer::Skinner& skinner, ShowSkin showSkin);
  DemoMenus(const DemoMenus&) = delete;
  DemoMenus& operator=(const DemoMenus&) = delete;

  // The bar, for the window's layout (which then owns it).
  gui::win::MenuEx* bar() const { return bar_; }
  // Hands the menus, the icon and the tray settings to `window`.
  void attach(gui::win::Window& window);
  // Moves the skins' radio mark to `index`.
  void markSkin(std::uint32_t index);

  void onEvent(IObject* source, std::int32_t code) override;

 private:
  gui::drawer::Skinner& skinner_;
  ShowSkin showSkin_;
  gui::win::Window* window_ = nullptr;
  gui::win::MenuEx* bar_ = nullptr;
  gui::win::PopupMenu* view_ = nullptr;
  gui::win::PopupMenu* skins_ = nullptr;
  PoolPtr<gui::win::PopupMenu> trayMenu_;
};

}  // namespace s::app

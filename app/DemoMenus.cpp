#include "app/DemoMenus.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

#include "gui/drawer/Skinner.h"
#include "gui/layout/Window.h"

namespace s::app {

namespace {

using gui::menuitem::MenuItem;
using gui::win::PopupMenu;

enum Command : std::int32_t {
  kHideToTray = 1,
  kExit = 2,
  kKeepOnTop = 3,
  kShow = 4,
  kFirstSkin = 100,
};

// The demo's icon: a blue disc with a white ring, smooth at its edge.
platform::ui::IconPixels demoIcon() {
  constexpr int kSize = 32;
  platform::ui::IconPixels icon{kSize, kSize, std::vector<std::uint32_t>(kSize * kSize)};
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const double d = std::hypot(x + 0.5 - kSize / 2.0, y + 0.5 - kSize / 2.0);
      const double alpha = std::clamp(kSize / 2.0 - d, 0.0, 1.0);
      const bool ring = std::abs(d - kSize / 4.0) < 1.5;
      const std::uint32_t rgb = ring ? 0xFFFFFF : 0x2A6FD6;
      icon.argb[static_cast<std::size_t>(y) * kSize + x] =
          (static_cast<std::uint32_t>(alpha * 255) << 24) | rgb;
    }
  }
  return icon;
}

PoolPtr<PopupMenu> menuNamed(std::u16string_view name) {
  PoolPtr<PopupMenu> menu = PopupMenu::make();
  menu->setName(name);
  return menu;
}

}  // namespace

DemoMenus::DemoMenus(gui::drawer::Skinner& skinner, ShowSkin showSkin)
    : skinner_(skinner), showSkin_(std::move(showSkin)), trayMenu_(PopupMenu::make()) {
  bar_ = gui::win::MenuEx::take();
  PoolPtr<PopupMenu> file = menuNamed(u"File");
  file->add(MenuItem::newMenuItemText(u"Hide to tray", kHideToTray));
  file->add(MenuItem::newMenuItemText(u"Exit", kExit));
  file->addListener(this);
  PoolPtr<PopupMenu> view = menuNamed(u"View");
  view->add(MenuItem::newMenuItemText(u"Keep on top", kKeepOnTop));
  PoolPtr<PopupMenu> skins = menuNamed(u"Skin");
  for (std::uint32_t i = 0; i < skinner_.getSkinCount(); ++i) {
    skins->add(MenuItem::newMenuItemText(skinner_.getSkinName(i),
                                         kFirstSkin + static_cast<std::int32_t>(i)));
  }
  skins_ = skins.get();
  view->addSubMenu(std::move(skins));
  view->addListener(this);
  view_ = view.get();
  bar_->addMenu(std::move(file));
  bar_->addMenu(std::move(view));

  trayMenu_->add(MenuItem::newMenuItemText(u"Show", kShow));
  trayMenu_->add(MenuItem::newMenuItemText(u"Exit", kExit));
  trayMenu_->addListener(this);
}

void DemoMenus::attach(gui::win::Window& window) {
  window_ = &window;
  window.setMenuBar(bar_);
  window.setTrayMenu(trayMenu_.get());
  window.setIcon(demoIcon());
  window.setTrayClickToggles(true);
  window.setTrayIconAlways(true);
}

void DemoMenus::markSkin(std::uint32_t index) {
  skins_->checkRadioCommand(kFirstSkin + static_cast<std::int32_t>(index));
}

void DemoMenus::onEvent(IObject* source, std::int32_t /*code*/) {
  const std::int32_t command = static_cast<PopupMenu*>(source)->getLastCommand();
  if (window_ == nullptr) {
    return;
  }
  switch (command) {
    case kHideToTray:
      window_->iconize();
      return;
    case kExit:
      window_->close();
      return;
    case kShow:
      window_->showRequested();
      return;
    case kKeepOnTop: {
      const bool above = !view_->isChecked(kKeepOnTop);
      view_->setChecked(kKeepOnTop, above);
      window_->setKeepOnTop(above);
      return;
    }
    default:
      break;
  }
  const std::int32_t skin = command - kFirstSkin;
  if (skin >= 0 && static_cast<std::uint32_t>(skin) < skinner_.getSkinCount()) {
    showSkin_(static_cast<std::uint32_t>(skin));
  }
}

}  // namespace s::app

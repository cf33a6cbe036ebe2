// The application window's side of Window: menus and their commands, the settings, the tray
// icon, iconizing and restoring, easy drag, the skinned frame and the middle click.
#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <utility>

#include "framework/lang/Localizer.h"
#include "framework/str/Utf8.h"
#include "gui/drawer/Skinner.h"
#include "gui/layout/ResizeZones.h"
#include "gui/layout/ScreenRules.h"
#include "gui/layout/Window.h"

namespace s::gui::win {

using platform::ui::Event;
using platform::ui::Rect;

namespace {

// A click on the tray icon takes the focus from the window just before it arrives: a window
// deactivated this recently counts as still in front.
constexpr std::chrono::milliseconds kTrayClickWindow{150};

std::mutex& trayFactoryLock() {
  static std::mutex lock;
  return lock;
}

platform::ui::TrayFactory& trayFactory() {
  static platform::ui::TrayFactory make;
  return make;
}

// The program says once why its window went to the taskbar instead of the tray.
std::atomic<bool> saidNoTray{false};

std::string utf8Of(std::u16string_view text) {
  std::string out(text.size() * 3, '\0');
  out.resize(str::utf8::encode(text, reinterpret_cast<std::uint8_t*>(out.data())));
  return out;
}

}  // namespace

void Window::setTrayFactory(platform::ui::TrayFactory factory) {
  std::lock_guard<std::mutex> hold(trayFactoryLock());
  trayFactory() = std::move(factory);
}

void Window::makeTrayIcon() {
  platform::ui::TrayFactory make;
  {
    std::lock_guard<std::mutex> hold(trayFactoryLock());
    make = trayFactory();
  }
  if (make) {
    tray_ = make(*display_, platformWindow_, *this);
  }
}

void Window::setMenuBar(IMenuBar* menuBar) {
  Component::runSync([&] { menuBar_ = menuBar; });
}

void Window::setTrayMenu(IPopupMenu* menu) {
  Component::runSync([&] { trayMenu_ = menu; });
}

void Window::setContextMenu(IPopupMenu* menu, bool shown) {
  Component::runSync([&] {
    contextMenu_ = menu;
    contextMenuShown_ = shown;
  });
}

bool Window::routeCommand(std::int32_t commandId) {
  bool routed = false;
  Component::runSync([&] {
    for (IMenuCommands* menu :
         {static_cast<IMenuCommands*>(menuBar_), static_cast<IMenuCommands*>(trayMenu_),
          static_cast<IMenuCommands*>(contextMenu_)}) {
      if (menu != nullptr && menu->containsCommand(commandId)) {
        menu->dispatch(commandId);
        routed = true;
        return;
      }
    }
  });
  return routed;
}

std::string Window::composedTitle() const {
  if (localizer_ == nullptr || titleTextId_ < 0) {
    return title_;
  }
  std::u16string text(localizer_->text(titleTextId_));
  if (titleWithVersion_) {
    text += u" v";
    text += localizer_->text(titleTextId_ + 10);
  }
  return utf8Of(text);
}

void Window::applySettings(app::IAppWindow& settings, bool withVersion) {
  Component::runSync([&] {
    appWindow_ = &settings;
    if (!settings.getIcon().empty()) {
      setIcon(settings.getIcon());
    }
    setLocalizer(settings.getLocalizer());
    titleTextId_ = settings.getTitleTextId();
    titleWithVersion_ = withVersion;
    setTitle(std::string_view(composedTitle()));
    if (drawer::Skinner* skins = settings.getSkinStore()) {
      std::int32_t index = skins->findSkin(settings.getSkin());
      if (index < 0) {
        index = skins->findSkin(settings.getDefaultSkin());
      }
      if (index >= 0) {
        setSkin(skins->getSkin(static_cast<std::uint32_t>(index)), false);
      }
    }
    easyDrag_ = settings.getEasyDrag();
    middleClick_ = settings.getMiddleClickAction();
    keepOnTop_ = settings.getKeepOnTop();
    if (display_ == nullptr) {
      return;
    }
    display_->setKeepOnTop(platformWindow_, keepOnTop_);
    const std::vector<Rect> monitors = display_->monitors();
    const Rect screen = virtualScreen(monitors);
    const std::int32_t width =
        settings.isWidthUsable(screen.width) ? settings.getWidth() : settings.getDefaultWidth();
    const std::int32_t height =
        settings.isHeightUsable(screen.height) ? settings.getHeight() : settings.getDefaultHeight();
    if (settings.hasPosition()) {
      Rect place{settings.getX(), settings.getY(), width, height};
      if (!isOnScreen(place, screen)) {
        // Centred on the first monitor, where the desktop puts new windows.
        const Rect& first = monitors.front();
        place.x = first.x + (first.width - width) / 2;
        place.y = first.y + (first.height - height) / 2;
      }
      setBounds(place.x, place.y, place.width, place.height);
    } else {
      setSize(width, height);
    }
    normalBounds_ = {getX(), getY(), getWidth(), getHeight()};
    if (settings.getMaximized()) {
      maximized_ = true;
      display_->setMaximized(platformWindow_, true);
    }
  });
}

void Window::setIcon(const platform::ui::IconPixels& icon) {
  Component::runSync([&] {
    icon_ = icon;
    if (display_ != nullptr && !icon_.empty()) {
      display_->setIcon(platformWindow_, icon_.argb.data(), icon_.width, icon_.height);
    }
    updateTrayIcon();
  });
}

void Window::setEasyDrag(bool on) {
  Component::runSync([&] {
    easyDrag_ = on;
    if (appWindow_ != nullptr) {
      appWindow_->setEasyDrag(on);
    }
  });
}

void Window::setMiddleClickAction(app::MiddleClick action) {
  Component::runSync([&] {
    middleClick_ = action;
    if (appWindow_ != nullptr) {
      appWindow_->setMiddleClickAction(action);
    }
  });
}

void Window::showTrayIcon(bool show) {
  Component::runSync([&] {
    if (!show && trayIconAlways_) {
      return;
    }
    trayIconShown_ = show;
    if (tray_ == nullptr) {
      return;
    }
    if (show && !tray_->isShown()) {
      tray_->show(icon_, title_);
    } else if (!show && tray_->isShown()) {
      tray_->hide();
    }
  });
}

void Window::updateTrayIcon() {
  Component::runSync([&] {
    if (tray_ != nullptr && tray_->isShown()) {
      tray_->update(icon_, title_);
    }
  });
}

void Window::setTrayIconAlways(bool always) {
  Component::runSync([&] {
    trayIconAlways_ = always;
    if (always) {
      showTrayIcon(true);
    } else if (!iconized_) {
      showTrayIcon(false);
    }
  });
}

void Window::setTrayClickToggles(bool toggles) {
  Component::runSync([&] { trayClickToggles_ = toggles; });
}

void Window::saveBounds() {
  Component::runSync([&] {
    if (appWindow_ == nullptr || minimized_) {
      return;
    }
    if (maximized_) {
      appWindow_->setMaximized(true);
      return;
    }
    if (appWindow_->getMaximized()) {
      appWindow_->setMaximized(false);
    }
    const Rect& b = normalBounds_;
    if (b.empty()) {
      return;
    }
    // Written only when absent or different, so an unchanged place leaves the file alone.
    if (!appWindow_->hasX() || appWindow_->getX() != b.x) {
      appWindow_->setX(b.x);
    }
    if (!appWindow_->hasY() || appWindow_->getY() != b.y) {
      appWindow_->setY(b.y);
    }
    if (!appWindow_->hasWidth() || appWindow_->getWidth() != b.width) {
      appWindow_->setWidth(b.width);
    }
    if (!appWindow_->hasHeight() || appWindow_->getHeight() != b.height) {
      appWindow_->setHeight(b.height);
    }
  });
}

void Window::iconize() {
  Component::runSync([&] {
    if (display_ == nullptr || iconized_) {
      return;
    }
    if (!mappedOnce_) {
      iconizeWhenMapped_ = true;
      return;
    }
    saveBounds();
    if (tray_ == nullptr || !tray_->hostAvailable()) {
      // Hiding without a notification area would lose the window: the taskbar keeps it.
      if (!saidNoTray.exchange(true)) {
        std::fprintf(stderr,
                     "netvigil: no notification area (system tray) is running on this desktop, "
                     "so the window is minimized to the taskbar instead of hidden to the tray\n");
      }
      minimize();
      return;
    }
    minimized_ = true;
    display_->iconify(platformWindow_);
    display_->hide(platformWindow_);
    setVisible(false, true);
    showTrayIcon(true);
    iconized_ = true;
  });
}

void Window::minimize() {
  Component::runSync([&] {
    if (display_ == nullptr) {
      return;
    }
    saveBounds();
    if (display_->iconify(platformWindow_)) {
      minimized_ = true;
    }
  });
}

void Window::maximize() {
  Component::runSync([&] {
    if (display_ == nullptr) {
      return;
    }
    maximized_ = true;
    display_->setMaximized(platformWindow_, true);
    if (appWindow_ != nullptr) {
      appWindow_->setMaximized(true);
    }
    relayout();
  });
}

void Window::restore() {
  Component::runSync([&] {
    if (display_ == nullptr) {
      return;
    }
    iconizeWhenMapped_ = false;
    if (maximized_) {
      // About to be normal again.
      if (appWindow_ != nullptr) {
        appWindow_->setMaximized(false);
      }
      maximized_ = false;
      display_->setMaximized(platformWindow_, false);
    }
    if (iconized_) {
      setVisible(true, true);
      iconized_ = false;
      if (!trayIconAlways_) {
        showTrayIcon(false);
      }
    }
    // Mapping a minimized window brings it back; an activating show raises and focuses it.
    show(true);
  });
}

void Window::activate(bool on) {
  Component::runSync([&] {
    if (!on) {
      deactivated_ = std::chrono::steady_clock::now();
    } else if (display_ != nullptr) {
      display_->activate(platformWindow_);
    }
  });
}

void Window::showRequested() {
  Component::runSync([&] {
    if (iconized_ || minimized_) {
      restore();
    }
    activate(true);
  });
}

void Window::onTrayClick(platform::ui::TrayClick click, int rootX, int rootY) {
  if (click == platform::ui::TrayClick::kLeft) {
    if (trayClickToggles_) {
      const bool inFront =
          active_ || std::chrono::steady_clock::now() - deactivated_ < kTrayClickWindow;
      if (iconized_) {
        restore();
      } else if (inFront) {
        iconize();
      } else {
        activate(true);
        if (minimized_) {
          restore();
        }
      }
    }
    fire(kWindowTrayLeftClick);
  } else if (click == platform::ui::TrayClick::kRight && trayMenu_ != nullptr) {
    fire(kWindowTrayRightClick);
    const std::int32_t command = trayMenu_->trackBottomAligned(rootX, rootY, *this);
    if (command >= 0) {
      routeCommand(command);
    }
  }
}

void Window::onWmState(const platform::ui::WmState& state) {
  const bool wasNormal = !minimized_ && !maximized_;
  bool changed = false;
  // Hidden to the tray the window is withdrawn: being iconic there is the window's own state.
  if (!iconized_ && state.minimized != minimized_) {
    minimized_ = state.minimized;
    changed = true;
  }
  if (state.maximized != maximized_) {
    maximized_ = state.maximized;
    if (state.maximized && normalBounds_ == Rect{getX(), getY(), getWidth(), getHeight()}) {
      // The maximized size came before the news of maximizing: it is not the normal one.
      normalBounds_ = previousNormalBounds_;
    }
    if (appWindow_ != nullptr) {
      appWindow_->setMaximized(state.maximized);
    }
    relayout();
    invalidate(Rect{0, 0, getWidth(), getHeight()});
    changed = true;
  }
  if (!changed) {
    return;
  }
  fire(kWindowSized);
  if (!wasNormal && !minimized_ && !maximized_) {
    fire(kWindowRestored);
  }
}

void Window::onTrayHostChanged() {
  if (!iconized_ || tray_ == nullptr || tray_->hostAvailable() || display_ == nullptr) {
    return;
  }
  // Still minimized, but where the user can find it: on the taskbar.
  setVisible(true, true);
  iconized_ = false;
  relayout();
  display_->iconify(platformWindow_);
  minimized_ = true;
  if (!trayIconAlways_) {
    showTrayIcon(false);
  }
}

bool Window::handleFramePress(const Event& event) {
  if (event.button != 1 || skin_.get() == nullptr || !resizable_ || maximized_) {
    return false;
  }
  const auto zone = resizeZoneAt(event.x, event.y, getWidth(), getHeight());
  return zone &&
         display_->beginMoveResize(platformWindow_, *zone, event.rootX, event.rootY, event.button);
}

bool Window::handleContextPress(const Event& event) {
  if (contextMenu_ == nullptr || !contextMenuShown_) {
    return false;
  }
  fire(kWindowContextMenu);
  const std::int32_t command = contextMenu_->track(event.rootX, event.rootY, *this);
  if (command >= 0) {
    routeCommand(command);
  }
  return true;
}

void Window::middleClick() {
  switch (middleClick_) {
    case app::MiddleClick::kClose:
      close();
      break;
    case app::MiddleClick::kIconize:
      iconize();
      break;
    case app::MiddleClick::kDoNothing:
      break;
  }
}

void Window::closeRequested() {
  // With close-iconizes the close button only iconizes, unless already iconized (or, without a
  // tray, minimized in its stead).
  if (closeIconizes_ && !iconized_ && !minimized_) {
    iconize();
  } else {
    close();
  }
}

}  // namespace s::gui::win

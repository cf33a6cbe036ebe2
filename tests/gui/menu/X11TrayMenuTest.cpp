#include <gtest/gtest.h>
#include <systemd/sd-bus.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "gui/drawer/Skinner.h"
#include "gui/layout/Box.h"
#include "gui/layout/Window.h"
#include "gui/menu/PopupMenu.h"
#include "platform/dbus/StatusNotifierItem.h"
#include "platform/ui/TrayChoice.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11TrayIcon.h"
#include "tests/platform/dbus/PanelDesktop.h"
#include "tests/platform/x11/WindowManager.h"

// Xlib's macros clash with gtest's names, so Xlib comes last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include "tests/platform/x11/XScreenshot.h"

namespace {

using s::PoolPtr;
using s::gui::menuitem::MenuItem;
using s::gui::win::PopupMenu;
using s::gui::win::Window;
using s::platform::ui::ITrayIcon;

struct Commands : s::gui::events::IEventListener {
  std::atomic<std::int32_t> last{-1};
  void onEvent(s::IObject* source, std::int32_t /*code*/) override {
    last = static_cast<PopupMenu*>(source)->getLastCommand();
  }
};

// The application window of a private desktop under openbox, its tray icon made as the program
// makes it (StatusNotifierItem preferred, XEmbed the fallback) and always shown, with a tray
// menu of two entries.
class X11TrayMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(desktop_.ready()) << "Xvfb or dbus-daemon did not start";
    manager_ = std::make_unique<s::testing::WindowManager>(desktop_.display());
    ASSERT_TRUE(manager_->ready()) << "openbox manages no window";
    const std::string display = desktop_.display();
    const std::string bus = desktop_.busAddress();
    Window::setDisplayFactory([display]() -> std::unique_ptr<s::platform::ui::IDisplay> {
      return s::platform::x11::X11Display::open(display.c_str());
    });
    Window::setTrayFactory([this, display, bus](s::platform::ui::IDisplay& screen,
                                                s::platform::ui::WindowId /*window*/,
                                                ITrayIcon::IListener& listener) {
      s::platform::ui::EventLoop& loop = screen.loop();
      return s::platform::ui::TrayChoice::make(
          [&loop, bus, this](ITrayIcon::IListener& choice) {
            auto made = s::platform::dbus::StatusNotifierItem::open(bus.c_str(), loop, choice);
            item_ = made.get();
            return made;
          },
          [&loop, display, this](ITrayIcon::IListener& choice) {
            auto made = s::platform::x11::X11TrayIcon::open(display.c_str(), loop, choice);
            embedded_ = made.get();
            return made;
          },
          listener);
    });
    user_ = XOpenDisplay(display.c_str());
    ASSERT_NE(user_, nullptr);
    skinner_ = s::gui::drawer::Skinner::newSkinner(u"ThinWindow");
    window_ = Window::make();
    ASSERT_TRUE(window_->isCreated());
    window_->setSkin(skinner_->getSkin(0), false);
    window_->setTitle(std::string_view("Netvigil"));
    window_->setIcon({16, 16, std::vector<std::uint32_t>(256, 0xFFE01010)});
    window_->setTrayClickToggles(true);
    // Shown while the window is too, so that a click on it can hide the window.
    window_->setTrayIconAlways(true);
    menu_ = PopupMenu::make();
    menu_->add(MenuItem::newMenuItemText(u"Restore", 41));
    menu_->add(MenuItem::newMenuItemText(u"Exit", 42));
    menu_->addListener(&commands_);
    window_->setTrayMenu(menu_.get());
    s::gui::win::Box* root =
        s::gui::win::Box::newBox(100, 100, 0, 0, 0, 0, 0, 0, s::gui::kLayoutVertical);
    root->setBackground(0x20, 0x40, 0x60, false);
    window_->add(root);
    window_->setBounds(300, 300, 300, 200);
    window_->show(true);
    ASSERT_TRUE(waitFor([&] { return viewable(window_->platformWindow()); }));
  }
  void TearDown() override {
    if (window_ != nullptr) {
      window_->setTrayMenu(nullptr);
    }
    window_.reset();
    menu_.reset();
    Window::setTrayFactory(nullptr);
    Window::setDisplayFactory(nullptr);
    if (user_ != nullptr) {
      XCloseDisplay(user_);
    }
  }
  // Lets the window's thread and the X server catch up until `done` holds (at most 15 s).
  bool waitFor(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (!done() && std::chrono::steady_clock::now() < end) {
      XSync(user_, False);
      window_->runSync([] {});
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
  }
  bool viewable(unsigned long window) {
    XWindowAttributes attributes{};
    return window != 0 && XGetWindowAttributes(user_, window, &attributes) != 0 &&
           attributes.map_state == IsViewable;
  }
  // ICCCM WM_STATE: 1 normal, 3 iconic, 0 withdrawn (or none).
  long wmState(unsigned long window) {
    const Atom state = XInternAtom(user_, "WM_STATE", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    long value = 0;
    if (XGetWindowProperty(user_, window, state, 0, 2, False, state, &type, &format, &count, &after,
                           &data) == Success &&
        data != nullptr && count >= 1) {
      value = *reinterpret_cast<long*>(data);
    }
    if (data != nullptr) {
      XFree(data);
    }
    return value;
  }
  // The pop-up menu's window: a shown override-redirect child of the root that is not ours.
  unsigned long openPopup() {
    ::Window root = 0;
    ::Window parent = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    unsigned long found = 0;
    XQueryTree(user_, DefaultRootWindow(user_), &root, &parent, &children, &count);
    for (unsigned i = 0; i < count; ++i) {
      XWindowAttributes attributes{};
      if (XGetWindowAttributes(user_, children[i], &attributes) != 0 &&
          attributes.override_redirect && attributes.map_state == IsViewable &&
          attributes.width > 20 && attributes.height > 20) {
        found = children[i];
      }
    }
    if (children != nullptr) {
      XFree(children);
    }
    return found;
  }
  std::uint32_t screenPixel(int x, int y) { return s::testing::screenPixel(user_, x, y); }
  XWindowAttributes placeOf(unsigned long window) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(user_, window, &attributes);
    ::Window child = 0;
    XTranslateCoordinates(user_, window, DefaultRootWindow(user_), 0, 0, &attributes.x,
                          &attributes.y, &child);
    return attributes;
  }
  void click(int x, int y, unsigned button) {
    XTestFakeMotionEvent(user_, -1, x, y, CurrentTime);
    XTestFakeButtonEvent(user_, button, True, CurrentTime);
    XTestFakeButtonEvent(user_, button, False, CurrentTime);
    XSync(user_, False);
  }
  unsigned long embeddedWindow() {
    unsigned long id = 0;
    window_->runSync([&] { id = embedded_ != nullptr ? embedded_->iconWindow() : 0; });
    return id;
  }

  s::testing::PanelDesktop desktop_;
  std::unique_ptr<s::testing::WindowManager> manager_;
  Display* user_ = nullptr;
  PoolPtr<s::gui::drawer::Skinner> skinner_;
  PoolPtr<PopupMenu> menu_;
  Commands commands_;
  PoolPtr<Window> window_;
  // Made on the window's thread; read there.
  s::platform::dbus::StatusNotifierItem* item_ = nullptr;
  s::platform::x11::X11TrayIcon* embedded_ = nullptr;
};

// In an XEmbed tray (trayer): iconizing hides the window to the icon, a left click on the icon
// brings it back and another hides it again; a right click opens the tray menu at the icon and
// its entry's command is dispatched; a tray that ends gives the hidden window back minimized.
TEST_F(X11TrayMenuTest, TheXEmbedIconTogglesTheWindowOpensTheTrayMenuAndLosesNoWindow) {
  ASSERT_TRUE(desktop_.startTray());
  ASSERT_TRUE(waitFor([&] {
    bool available = false;
    window_->runSync([&] { available = window_->trayIcon()->hostAvailable(); });
    return available;
  }));
  const unsigned long client = window_->platformWindow();
  window_->iconize();
  EXPECT_TRUE(window_->isIconized());
  ASSERT_TRUE(waitFor([&] { return viewable(embeddedWindow()) && !viewable(client); }));
  // Where the tray settled and painted the icon (it grows as icons come).
  int x = 0;
  int y = 0;
  ASSERT_TRUE(waitFor([&] {
    const XWindowAttributes icon = placeOf(embeddedWindow());
    const bool same = icon.x + icon.width / 2 == x && icon.y + icon.height / 2 == y;
    x = icon.x + icon.width / 2;
    y = icon.y + icon.height / 2;
    return same && screenPixel(x, y) == 0xE01010u;
  }));

  click(x, y, 1);
  ASSERT_TRUE(waitFor([&] { return viewable(client) && !window_->isIconized(); }));
  // In front again (the window manager gave it the focus): the next click hides it.
  ASSERT_TRUE(waitFor([&] { return window_->isActive(); }));
  click(x, y, 1);
  ASSERT_TRUE(waitFor([&] { return !viewable(client) && window_->isIconized(); }));

  click(x, y, 3);
  unsigned long popup = 0;
  ASSERT_TRUE(waitFor([&] { return (popup = openPopup()) != 0; }));
  const XWindowAttributes menu = placeOf(popup);
  // Opened from the icon at the top of the screen: below the pointer, not off the screen.
  EXPECT_GE(menu.y, 0);
  EXPECT_LE(std::abs(menu.x - x), 2);
  const std::string shot = ::testing::TempDir() + "tray_menu_xembed.png";
  ASSERT_TRUE(s::testing::screenshot(user_, 0, 0, 300, 150, shot));
  std::printf("tray menu: %s\n", shot.c_str());
  // The second entry.
  click(menu.x + menu.width / 2, menu.y + menu.height * 3 / 4, 1);
  EXPECT_TRUE(waitFor([&] { return commands_.last.load() == 42; }));
  EXPECT_TRUE(waitFor([&] { return openPopup() == 0; }));

  desktop_.stopTray();
  EXPECT_TRUE(waitFor([&] {
    bool available = true;
    window_->runSync([&] { available = window_->trayIcon()->hostAvailable(); });
    return !available;
  }));
  ASSERT_TRUE(waitFor([&] { return !window_->isIconized(); }));
  EXPECT_TRUE(waitFor([&] { return wmState(client) == IconicState; }));
  EXPECT_TRUE(window_->isIconic());
}

// With a panel that has a StatusNotifierWatcher, the icon is its item: the panel's Activate
// brings the hidden window back and its ContextMenu opens the tray menu at the given point.
TEST_F(X11TrayMenuTest, TheStatusNotifierItemsActivateRestoresAndItsContextMenuOpensTheMenu) {
  ASSERT_TRUE(desktop_.startPanel());
  ASSERT_TRUE(waitFor([&] {
    bool available = false;
    window_->runSync([&] { available = item_ != nullptr && item_->hostAvailable(); });
    return available;
  }));
  const unsigned long client = window_->platformWindow();
  window_->iconize();
  ASSERT_TRUE(window_->isIconized());
  std::string name;
  ASSERT_TRUE(waitFor([&] {
    bool registered = false;
    window_->runSync([&] {
      registered = item_->isRegistered();
      name = item_->busName();
    });
    return registered && !viewable(client);
  }));
  // The panel shows the item: red in its strip at the top (the window itself is hidden).
  EXPECT_TRUE(waitFor([&] {
    for (int x = 600; x < 1024; x += 2) {
      if (screenPixel(x, 13) == 0xE01010u) {
        return true;
      }
    }
    return false;
  }));
  sd_bus* peer = nullptr;
  ASSERT_GE(sd_bus_new(&peer), 0);
  ASSERT_GE(sd_bus_set_address(peer, desktop_.busAddress().c_str()), 0);
  ASSERT_GE(sd_bus_set_bus_client(peer, 1), 0);
  ASSERT_GE(sd_bus_start(peer), 0);
  auto call = [&](const char* method, int x, int y) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    const int r =
        sd_bus_call_method(peer, name.c_str(), "/StatusNotifierItem", "org.kde.StatusNotifierItem",
                           method, &error, nullptr, "ii", x, y);
    sd_bus_error_free(&error);
    return r >= 0;
  };
  EXPECT_TRUE(call("Activate", 900, 10));
  EXPECT_TRUE(waitFor([&] { return viewable(client) && !window_->isIconized(); }));

  EXPECT_TRUE(call("ContextMenu", 600, 400));
  unsigned long popup = 0;
  ASSERT_TRUE(waitFor([&] { return (popup = openPopup()) != 0; }));
  const XWindowAttributes menu = placeOf(popup);
  // Bottom-aligned at the point.
  EXPECT_LE(std::abs(menu.y + menu.height - 400), 2);
  const std::string shot = ::testing::TempDir() + "tray_menu_sni.png";
  ASSERT_TRUE(s::testing::screenshot(user_, 0, 0, 1024, 768, shot));
  std::printf("tray menu: %s\n", shot.c_str());
  click(menu.x + menu.width / 2, menu.y + menu.height / 4, 1);
  EXPECT_TRUE(waitFor([&] { return commands_.last.load() == 41; }));
  sd_bus_flush_close_unref(peer);
}

}  // namespace

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "gui/layout/OwnedWindow.h"
#include "gui/layout/Spacer.h"
#include "gui/layout/Window.h"
#include "platform/x11/X11Display.h"
#include "tests/gui/layout/WindowFixture.h"
#include "tests/platform/x11/DesktopProgram.h"
#include "tests/platform/x11/XvfbServer.h"

// Xlib's macros clash with gtest's names, so Xlib comes last.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include "tests/platform/x11/XScreenshot.h"

namespace {

using s::gui::win::OwnedWindow;
using s::gui::win::Spacer;
using s::gui::win::Window;
using s::platform::ui::WindowKind;
using s::testing::Probe;
using s::testing::Recorder;

// A window on a private X server with a second connection that plays the user and the other
// programs.
class X11OwnedWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(server_.name().empty()) << "Xvfb did not start";
    const std::string name = server_.name();
    Window::setDisplayFactory([name]() -> std::unique_ptr<s::platform::ui::IDisplay> {
      return s::platform::x11::X11Display::open(name.c_str());
    });
    window_ = Window::make();
    ASSERT_TRUE(window_->isCreated());
    user_ = XOpenDisplay(name.c_str());
    ASSERT_NE(user_, nullptr);
  }
  void TearDown() override {
    window_.reset();
    Window::setDisplayFactory(nullptr);
    if (user_ != nullptr) {
      XCloseDisplay(user_);
    }
  }
  // Lets the window's thread read everything the server has sent it so far.
  void settle() {
    XSync(user_, False);
    auto* display = dynamic_cast<s::platform::x11::X11Display*>(window_->display());
    window_->runSync([&] { XSync(display->native(), False); });
    window_->runSync([] {});
  }
  bool waitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 400 && !done(); ++i) {
      settle();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
  }
  std::uint32_t screenPixel(int x, int y) {
    XImage* image = XGetImage(user_, DefaultRootWindow(user_), x, y, 1, 1, AllPlanes, ZPixmap);
    const auto pixel = static_cast<std::uint32_t>(XGetPixel(image, 0, 0)) & 0xFFFFFFu;
    XDestroyImage(image);
    return pixel;
  }
  void click(int x, int y) {
    XTestFakeMotionEvent(user_, -1, x, y, CurrentTime);
    XTestFakeButtonEvent(user_, 1, True, CurrentTime);
    XTestFakeButtonEvent(user_, 1, False, CurrentTime);
    XSync(user_, False);
  }

  s::testing::XvfbServer server_;
  s::PoolPtr<Window> window_;
  Display* user_ = nullptr;
};

TEST_F(X11OwnedWindowTest, APopUpHoldingTheInputGetsThePointerAndTheKeys) {
  window_->setBounds(50, 50, 300, 200);
  window_->show(true);
  auto popup = OwnedWindow::make();
  Probe* probe = Probe::take();
  probe->setMinSize(60, 40);
  probe->setBackground(0x30, 0x90, 0x20, false);
  popup->setInsetLeft(20);
  popup->add(probe);
  ASSERT_TRUE(popup->open(*window_, {.kind = WindowKind::kPopup, .bounds = {400, 300, 120, 60}}));
  Recorder heard;
  popup->addListener(s::gui::kWindowLeftPress, &heard);
  popup->addListener(s::gui::kWindowKey, &heard);
  popup->show(false);
  ASSERT_TRUE(waitFor([&] { return screenPixel(430, 320) == 0x309020u; }));
  ASSERT_TRUE(popup->grabInput());

  click(430, 320);
  ASSERT_TRUE(waitFor([&] {
    std::size_t hits = 0;
    window_->runSync([&] { hits = probe->hits.size(); });
    return hits == 2;
  }));
  window_->runSync([&] {
    EXPECT_EQ(probe->hits[0].x, 10);
    EXPECT_EQ(probe->hits[0].y, 20);
  });
  // The keyboard is held too, and a click on the owner is the menu's news.
  XTestFakeKeyEvent(user_, XKeysymToKeycode(user_, XK_Escape), True, CurrentTime);
  XTestFakeKeyEvent(user_, XKeysymToKeycode(user_, XK_Escape), False, CurrentTime);
  click(100, 100);
  ASSERT_TRUE(waitFor([&] { return heard.count(s::gui::kWindowLeftPress) > 0; }));
  EXPECT_TRUE(waitFor([&] { return heard.count(s::gui::kWindowKey) > 0; }));
  s::platform::ui::Event last;
  window_->runSync([&] { last = popup->lastInput(); });
  EXPECT_EQ(last.rootX, 100);
  EXPECT_EQ(last.x, 100 - 400);

  // Let go, the owner has its pointer again.
  popup->close();
  Recorder owner;
  window_->addListener(s::gui::kWindowLeftPress, &owner);
  click(100, 100);
  EXPECT_TRUE(waitFor([&] { return owner.count(s::gui::kWindowLeftPress) > 0; }));
}

// A notification area of the desktop embeds the icon, which paints its components and hears
// its clicks there; when the notification area goes, the icon goes out of sight.
TEST_F(X11OwnedWindowTest, ATrayIconIsEmbeddedInTheNotificationAreaAndHearsItsClicks) {
  s::testing::DesktopProgram tray(
      server_.name(), {"trayer", "--edge", "top", "--align", "left", "--widthtype", "request",
                       "--height", "32", "--SetDockType", "false", "--SetPartialStrut", "false"});
  ASSERT_TRUE(tray.started());
  const Atom selection = XInternAtom(user_, "_NET_SYSTEM_TRAY_S0", False);
  ASSERT_TRUE(waitFor([&] { return XGetSelectionOwner(user_, selection) != 0; }))
      << "the notification area did not start";

  auto icon = OwnedWindow::make();
  Spacer* face = Spacer::take();
  face->setWidthPercent(100);
  face->setHeightPercent(100);
  face->setBackground(0xD0, 0x20, 0x20, false);
  icon->add(face);
  ASSERT_TRUE(icon->open(*window_, {.kind = WindowKind::kTrayIcon, .bounds = {0, 0, 22, 22}}));
  Recorder heard;
  icon->addListener(s::gui::kWindowLeftPress, &heard);
  const auto id = static_cast<::Window>(icon->platformWindow());
  auto embedded = [&] {
    ::Window root = 0;
    ::Window parent = 0;
    ::Window* children = nullptr;
    unsigned int count = 0;
    XQueryTree(user_, id, &root, &parent, &children, &count);
    if (children != nullptr) {
      XFree(children);
    }
    XWindowAttributes attributes{};
    XGetWindowAttributes(user_, id, &attributes);
    return parent != root && attributes.map_state == IsViewable;
  };
  ASSERT_TRUE(waitFor(embedded));
  int x = 0;
  int y = 0;
  ::Window child = 0;
  XTranslateCoordinates(user_, id, DefaultRootWindow(user_), 0, 0, &x, &y, &child);
  // At least the size it asked for, as the notification area gave it.
  int width = 0;
  window_->runSync([&] { width = icon->getWidth(); });
  EXPECT_GE(width, 22);
  const int middle = width / 2;
  EXPECT_TRUE(waitFor([&] { return screenPixel(x + middle, y + middle) == 0xD02020u; }));
  const std::string shot = ::testing::TempDir() + "tray_icon.png";
  EXPECT_TRUE(s::testing::screenshot(user_, 0, 0, 200, 40, shot));

  click(x + middle, y + middle);
  EXPECT_TRUE(waitFor([&] { return heard.count(s::gui::kWindowLeftPress) > 0; }));

  tray.end();
  EXPECT_TRUE(waitFor([&] {
    XWindowAttributes attributes{};
    XGetWindowAttributes(user_, id, &attributes);
    return attributes.map_state != IsViewable;
  }));
  EXPECT_FALSE(icon->isShown());
}

}  // namespace

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/ui/EventLoop.h"
#include "platform/x11/X11TrayIcon.h"
#include "tests/platform/ui/TrayListener.h"
#include "tests/platform/x11/DesktopProcess.h"
#include "tests/platform/x11/XvfbServer.h"

// Xlib's macros clash with gtest's names, so Xlib comes last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include "tests/platform/x11/XScreenshot.h"

namespace {

using s::platform::ui::EventLoop;
using s::platform::ui::IconPixels;
using s::platform::ui::TrayClick;
using s::platform::x11::X11TrayIcon;
using s::testing::DesktopProcess;

using Heard = s::testing::TrayListener;

// A square of one colour.
IconPixels squareIcon(int size, std::uint32_t argb) {
  IconPixels icon{size, size,
                  std::vector<std::uint32_t>(static_cast<std::size_t>(size) * size, argb)};
  return icon;
}

// trayer at the top left corner of the screen, as tall as a panel of `height` pixels.
std::vector<std::string> trayer(int height) {
  return {"trayer",        "--edge",   "top",
          "--align",       "left",     "--widthtype",
          "request",       "--height", std::to_string(height),
          "--SetDockType", "false",    "--transparent",
          "false",         "--tint",   "0x404040"};
}

class X11TrayIconTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(server_.name().empty()) << "Xvfb did not start";
    user_ = XOpenDisplay(server_.name().c_str());
    ASSERT_NE(user_, nullptr);
    icon_ = X11TrayIcon::open(server_.name().c_str(), loop_, heard_);
    ASSERT_NE(icon_, nullptr);
  }
  void TearDown() override {
    icon_.reset();
    if (user_ != nullptr) {
      XCloseDisplay(user_);
    }
  }
  // Runs the icon's loop until `done` holds, for at most 15 seconds.
  bool waitFor(const std::function<bool()>& done) {
    return s::testing::runLoopUntil(loop_, done, 15);
  }
  XWindowAttributes iconPlace() {
    XWindowAttributes attributes{};
    XGetWindowAttributes(user_, icon_->iconWindow(), &attributes);
    ::Window child = 0;
    XTranslateCoordinates(user_, icon_->iconWindow(), DefaultRootWindow(user_), 0, 0, &attributes.x,
                          &attributes.y, &child);
    return attributes;
  }
  std::uint32_t screenPixel(int x, int y) { return s::testing::screenPixel(user_, x, y); }
  std::string tipOf(::Window window) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(user_, window, XInternAtom(user_, "_NET_WM_NAME", False), 0, 256, False,
                       XInternAtom(user_, "UTF8_STRING", False), &type, &format, &count, &after,
                       &data);
    std::string tip(data != nullptr ? reinterpret_cast<char*>(data) : "", count);
    if (data != nullptr) {
      XFree(data);
    }
    return tip;
  }

  s::testing::XvfbServer server_;
  Display* user_ = nullptr;
  EventLoop loop_;
  Heard heard_;
  std::unique_ptr<X11TrayIcon> icon_;
};

// An icon shown before any tray runs waits; a tray that starts takes it, gives it its size and
// shows it painted at that size; a tray that ends and starts again takes it again.
TEST_F(X11TrayIconTest, DocksWhenATrayStartsIsPaintedAtItsSizeAndDocksAgainAfterARestart) {
  EXPECT_FALSE(icon_->hostAvailable());
  icon_->show(squareIcon(16, 0xFFE01010), "Netvigil");
  EXPECT_TRUE(icon_->isShown());
  EXPECT_FALSE(icon_->isDocked());

  DesktopProcess tray(server_.name(), trayer(40));
  ASSERT_TRUE(tray.running());
  ASSERT_TRUE(waitFor([&] { return icon_->isDocked(); }));
  EXPECT_TRUE(icon_->hostAvailable());
  EXPECT_GE(heard_.hostChanges, 1);
  // The picture fills the largest square of the place the tray gave, centred, up to its edges.
  XWindowAttributes place{};
  int side = 0;
  int left = 0;
  int top = 0;
  ASSERT_TRUE(waitFor([&] {
    place = iconPlace();
    side = std::min(place.width, place.height);
    left = place.x + (place.width - side) / 2;
    top = place.y + (place.height - side) / 2;
    return place.map_state == IsViewable && screenPixel(left + 1, top + 1) == 0xE01010u;
  })) << "icon at "
      << place.x << "," << place.y << " " << place.width << "x" << place.height;
  EXPECT_GE(side, 22);
  EXPECT_EQ(screenPixel(left + side - 2, top + side - 2), 0xE01010u);
  // Outside the square, the tray's own background.
  if (place.height > side + 2) {
    EXPECT_NE(screenPixel(left + side / 2, place.y), 0xE01010u);
  }
  EXPECT_EQ(tipOf(icon_->iconWindow()), "Netvigil");
  const std::string shot = ::testing::TempDir() + "x11_tray_docked.png";
  ASSERT_TRUE(s::testing::screenshot(user_, 0, 0, 200, 60, shot));
  std::printf("docked icon: %s\n", shot.c_str());

  // A new picture and tip show in place.
  icon_->update(squareIcon(16, 0xFF10A010), "Netvigil: 3 connections");
  EXPECT_TRUE(waitFor([&] {
    return screenPixel(place.x + place.width / 2, place.y + place.height / 2) == 0x10A010u;
  }));
  EXPECT_EQ(tipOf(icon_->iconWindow()), "Netvigil: 3 connections");

  tray.stop();
  ASSERT_TRUE(waitFor([&] { return !icon_->hostAvailable(); }));
  EXPECT_FALSE(icon_->isDocked());
  EXPECT_TRUE(icon_->isShown());
  ASSERT_TRUE(tray.start());
  ASSERT_TRUE(waitFor([&] { return icon_->isDocked(); }));
  EXPECT_TRUE(waitFor([&] {
    place = iconPlace();
    return place.map_state == IsViewable &&
           screenPixel(place.x + place.width / 2, place.y + place.height / 2) == 0x10A010u;
  }));

  // Hidden, the icon leaves the tray.
  icon_->hide();
  EXPECT_EQ(icon_->iconWindow(), 0u);
  EXPECT_FALSE(icon_->isShown());
  EXPECT_TRUE(icon_->hostAvailable());
}

// The pointer resting on the icon shows its tip; the buttons reach the listener with the
// pointer's place on the screen (other buttons, the wheel, do not) and close the tip.
TEST_F(X11TrayIconTest, ClicksReachTheListenerWithThePointersPlace) {
  DesktopProcess tray(server_.name(), trayer(24));
  ASSERT_TRUE(tray.running());
  ASSERT_TRUE(waitFor([&] { return icon_->hostAvailable(); }));
  icon_->show(squareIcon(16, 0xFFE01010), "Netvigil");
  ASSERT_TRUE(waitFor([&] { return icon_->isDocked() && iconPlace().map_state == IsViewable; }));
  const XWindowAttributes place = iconPlace();
  const int x = place.x + place.width / 2;
  const int y = place.y + place.height / 2;
  XTestFakeMotionEvent(user_, -1, x, y, CurrentTime);
  XSync(user_, False);
  // Resting on the icon, the pointer brings up the tip below it, with the tip's text.
  ASSERT_TRUE(waitFor([&] { return icon_->tipWindow() != 0; }));
  const ::Window tip = icon_->tipWindow();
  // Its inside (within the border): the pale background, and text in it.
  XWindowAttributes shown{};
  auto ink = [&] {
    int dark = 0;
    for (int ty = shown.y + 2; ty < shown.y + shown.height; ++ty) {
      for (int tx = shown.x + 2; tx < shown.x + shown.width; ++tx) {
        dark += screenPixel(tx, ty) < 0x808080u ? 1 : 0;
      }
    }
    return dark;
  };
  ASSERT_TRUE(waitFor([&] {
    XGetWindowAttributes(user_, tip, &shown);
    return shown.map_state == IsViewable && screenPixel(shown.x + 2, shown.y + 2) == 0xFFFFE1u &&
           ink() > 10;
  })) << "no text in the tip";
  EXPECT_GT(shown.y, y);
  EXPECT_GT(shown.width, 30);
  const std::string shot = ::testing::TempDir() + "x11_tray_tip.png";
  ASSERT_TRUE(s::testing::screenshot(user_, 0, 0, 200, 80, shot));
  std::printf("tip: %s\n", shot.c_str());
  // A press takes it away.
  for (const unsigned button : {1u, 4u, 3u, 2u}) {
    XTestFakeButtonEvent(user_, button, True, CurrentTime);
    XTestFakeButtonEvent(user_, button, False, CurrentTime);
  }
  XSync(user_, False);
  ASSERT_TRUE(waitFor([&] { return heard_.clicks.size() >= 3; }));
  ASSERT_EQ(heard_.clicks.size(), 3u);
  EXPECT_EQ(heard_.clicks[0].click, TrayClick::kLeft);
  EXPECT_EQ(heard_.clicks[1].click, TrayClick::kRight);
  EXPECT_EQ(heard_.clicks[2].click, TrayClick::kMiddle);
  EXPECT_EQ(heard_.clicks[0].x, x);
  EXPECT_EQ(heard_.clicks[0].y, y);
  EXPECT_EQ(icon_->tipWindow(), 0u);
}

// What the icon posted before it went is dropped, not delivered to a listener that may be gone.
TEST_F(X11TrayIconTest, WorkPostedByAnIconThatWentIsDropped) {
  DesktopProcess tray(server_.name(), trayer(24));
  ASSERT_TRUE(tray.running());
  // The tray's MANAGER message is read and the change posted, then the icon goes at once.
  ASSERT_TRUE(waitFor([&] {
    XSync(user_, False);
    return XGetSelectionOwner(user_, XInternAtom(user_, "_NET_SYSTEM_TRAY_S0", False)) != None;
  }));
  const int before = heard_.hostChanges;
  icon_->show(squareIcon(16, 0xFFE01010), "Netvigil");  // reads what the server sent
  icon_.reset();
  s::testing::runLoopUntil(
      loop_, [] { return false; }, 1);
  EXPECT_EQ(heard_.hostChanges, before);
}

}  // namespace

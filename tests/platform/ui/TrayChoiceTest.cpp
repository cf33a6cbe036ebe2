#include "platform/ui/TrayChoice.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/dbus/StatusNotifierItem.h"
#include "platform/x11/X11TrayIcon.h"
#include "tests/platform/dbus/PanelDesktop.h"
#include "tests/platform/ui/TrayListener.h"

namespace {

using s::platform::dbus::StatusNotifierItem;
using s::platform::ui::EventLoop;
using s::platform::ui::ITrayIcon;
using s::platform::ui::TrayChoice;
using s::platform::x11::X11TrayIcon;

// The program's choice on a real desktop: StatusNotifierItem preferred, XEmbed the fallback. The
// icon waits in both while no host runs, goes to the XEmbed tray when only that starts, and
// moves to the panel's StatusNotifierWatcher (leaving the panel's XEmbed tray) when it starts.
TEST(TrayChoice, ShowsTheIconOnceInTheHostThereAndPrefersTheStatusNotifierWatcher) {
  s::testing::PanelDesktop desktop;
  ASSERT_TRUE(desktop.ready()) << "Xvfb or dbus-daemon did not start";
  EventLoop loop;
  s::testing::TrayListener heard;
  StatusNotifierItem* item = nullptr;
  X11TrayIcon* embedded = nullptr;
  auto choice = TrayChoice::make(
      [&](ITrayIcon::IListener& listener) {
        auto made = StatusNotifierItem::open(desktop.busAddress().c_str(), loop, listener);
        item = made.get();
        return made;
      },
      [&](ITrayIcon::IListener& listener) {
        auto made = X11TrayIcon::open(desktop.display().c_str(), loop, listener);
        embedded = made.get();
        return made;
      },
      heard);
  ASSERT_NE(choice, nullptr);
  ASSERT_NE(item, nullptr);
  ASSERT_NE(embedded, nullptr);
  EXPECT_FALSE(choice->hostAvailable());
  const s::platform::ui::IconPixels icon{16, 16, std::vector<std::uint32_t>(256, 0xFFE01010)};
  choice->show(icon, "Netvigil");
  EXPECT_TRUE(choice->isShown());
  EXPECT_TRUE(item->isShown());
  EXPECT_TRUE(embedded->isShown());

  ASSERT_TRUE(desktop.startTray());
  ASSERT_TRUE(s::testing::runLoopUntil(loop, [&] { return embedded->isDocked(); }));
  EXPECT_TRUE(choice->hostAvailable());
  EXPECT_FALSE(item->isShown());
  EXPECT_EQ(choice->protocol(), "XEmbed system tray");
  EXPECT_GE(heard.hostChanges, 1);

  desktop.stopTray();
  ASSERT_TRUE(desktop.startPanel());
  ASSERT_TRUE(s::testing::runLoopUntil(loop, [&] { return item->isRegistered(); }));
  // Whichever of the panel's two trays answered first, the icon ends in one.
  EXPECT_TRUE(s::testing::runLoopUntil(loop, [&] { return !embedded->isShown(); }));
  EXPECT_EQ(embedded->iconWindow(), 0u);
  EXPECT_EQ(choice->protocol(), "StatusNotifierItem");

  choice->update(icon, "Netvigil: 2 connections");
  EXPECT_TRUE(item->isShown());
  EXPECT_FALSE(embedded->isShown());
  choice->hide();
  EXPECT_FALSE(choice->isShown());
  EXPECT_FALSE(item->isShown());
  EXPECT_FALSE(embedded->isShown());
}

TEST(TrayChoice, NoProtocolGivesNoIcon) {
  s::testing::TrayListener heard;
  auto none = [](ITrayIcon::IListener& /*listener*/) { return std::unique_ptr<ITrayIcon>(); };
  EXPECT_EQ(TrayChoice::make(none, none, heard), nullptr);
  EXPECT_EQ(TrayChoice::make(nullptr, nullptr, heard), nullptr);
}

}  // namespace

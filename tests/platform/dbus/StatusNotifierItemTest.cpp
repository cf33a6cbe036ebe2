#include <gtest/gtest.h>
#include <systemd/sd-bus.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/dbus/StatusNotifierItem.h"
#include "platform/ui/EventLoop.h"
#include "tests/platform/dbus/PanelDesktop.h"
#include "tests/platform/ui/TrayListener.h"

// Xlib's macros clash with gtest's names, so Xlib comes last.
#include <X11/Xlib.h>

#include "tests/platform/x11/XScreenshot.h"

namespace {

using s::platform::dbus::StatusNotifierItem;
using s::platform::ui::EventLoop;
using s::platform::ui::IconPixels;
using s::platform::ui::TrayClick;

constexpr const char* kWatcher = "org.kde.StatusNotifierWatcher";
constexpr const char* kItem = "org.kde.StatusNotifierItem";

using Heard = s::testing::TrayListener;

// Red, with a transparent column on the left, so that the byte order and alpha show.
IconPixels testIcon() {
  IconPixels icon{16, 16, std::vector<std::uint32_t>(256, 0xFFE01010)};
  for (int y = 0; y < 16; ++y) {
    icon.argb[static_cast<std::size_t>(y) * 16] = 0x00000000;
  }
  return icon;
}

// A shown item on a private desktop whose panel is real.
class StatusNotifierItemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(desktop_.ready()) << "Xvfb or dbus-daemon did not start";
    ASSERT_GE(sd_bus_new(&peer_), 0);
    ASSERT_GE(sd_bus_set_address(peer_, desktop_.busAddress().c_str()), 0);
    ASSERT_GE(sd_bus_set_bus_client(peer_, 1), 0);
    ASSERT_GE(sd_bus_start(peer_), 0);
    item_ = StatusNotifierItem::open(desktop_.busAddress().c_str(), loop_, heard_);
    ASSERT_NE(item_, nullptr);
  }
  void TearDown() override {
    item_.reset();
    if (peer_ != nullptr) {
      sd_bus_flush_close_unref(peer_);
    }
  }
  // Runs the item's loop until `done` holds, for at most `seconds`.
  bool waitFor(const std::function<bool()>& done, int seconds = 15) {
    return s::testing::runLoopUntil(loop_, done, seconds);
  }
  // The watcher's list of items, read by another client of the bus.
  std::vector<std::string> registeredItems() {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    char** names = nullptr;
    std::vector<std::string> out;
    if (sd_bus_get_property_strv(peer_, kWatcher, "/StatusNotifierWatcher", kWatcher,
                                 "RegisteredStatusNotifierItems", &error, &names) >= 0) {
      for (char** n = names; n != nullptr && *n != nullptr; ++n) {
        out.emplace_back(*n);
        std::free(*n);
      }
      std::free(names);
    }
    sd_bus_error_free(&error);
    return out;
  }
  bool listed() {
    for (const std::string& name : registeredItems()) {
      // Watchers list a service by its name, some with the object path after it.
      if (name.rfind(item_->busName(), 0) == 0) {
        return true;
      }
    }
    return false;
  }
  // Calls `method` on the item as the panel does, the item's loop answering meanwhile.
  void call(const char* method, int x, int y) {
    sd_bus_call_method_async(peer_, nullptr, item_->busName().c_str(), "/StatusNotifierItem", kItem,
                             method, nullptr, nullptr, "ii", x, y);
    sd_bus_flush(peer_);
  }

  s::testing::PanelDesktop desktop_;
  sd_bus* peer_ = nullptr;
  EventLoop loop_;
  Heard heard_;
  std::unique_ptr<StatusNotifierItem> item_;
};

// Before the panel runs there is no host; once it does, the shown item is on the watcher's list
// with its picture and tip, the panel's calls reach the listener, a hidden item leaves the list
// and a panel that restarts is given the item again.
TEST_F(StatusNotifierItemTest, RegistersWithTheWatcherOfARealPanelAndAnswersItsCalls) {
  EXPECT_FALSE(waitFor([&] { return item_->hostAvailable(); }, 1));
  item_->show(testIcon(), "Netvigil");
  ASSERT_TRUE(desktop_.startPanel());
  ASSERT_TRUE(waitFor([&] { return item_->hostAvailable() && item_->isRegistered(); }));
  EXPECT_GE(heard_.hostChanges, 1);
  ASSERT_TRUE(waitFor([&] { return listed(); }));

  // What the panel reads: the picture at its own size first, non-premultiplied ARGB in network
  // byte order; the tip as the tooltip's title.
  sd_bus_message* reply = nullptr;
  sd_bus_call_method_async(
      peer_, nullptr, item_->busName().c_str(), "/StatusNotifierItem",
      "org.freedesktop.DBus.Properties", "Get",
      [](sd_bus_message* m, void* out, sd_bus_error*) {
        *static_cast<sd_bus_message**>(out) = sd_bus_message_ref(m);
        return 0;
      },
      &reply, "ss", kItem, "IconPixmap");
  ASSERT_TRUE(waitFor([&] {
    while (sd_bus_process(peer_, nullptr) > 0) {
    }
    return reply != nullptr;
  }));
  ASSERT_EQ(sd_bus_message_is_method_error(reply, nullptr), 0);
  ASSERT_GE(sd_bus_message_enter_container(reply, 'v', "a(iiay)"), 0);
  ASSERT_GE(sd_bus_message_enter_container(reply, 'a', "(iiay)"), 0);
  ASSERT_GT(sd_bus_message_enter_container(reply, 'r', "iiay"), 0);
  int width = 0;
  int height = 0;
  ASSERT_GE(sd_bus_message_read(reply, "ii", &width, &height), 0);
  const void* bytes = nullptr;
  std::size_t size = 0;
  ASSERT_GE(sd_bus_message_read_array(reply, 'y', &bytes, &size), 0);
  EXPECT_EQ(width, 16);
  EXPECT_EQ(height, 16);
  ASSERT_EQ(size, 16u * 16u * 4u);
  const auto* b = static_cast<const std::uint8_t*>(bytes);
  EXPECT_EQ(std::vector<int>(b, b + 8), (std::vector<int>{0, 0, 0, 0, 0xFF, 0xE0, 0x10, 0x10}));
  sd_bus_message_unref(reply);

  // The panel draws it: red pixels in its strip at the top of the screen.
  Display* user = XOpenDisplay(desktop_.display().c_str());
  ASSERT_NE(user, nullptr);
  auto redInThePanel = [&] {
    XImage* image = XGetImage(user, DefaultRootWindow(user), 0, 0, 1024, 40, AllPlanes, ZPixmap);
    int red = 0;
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 1024; ++x) {
        red += (XGetPixel(image, x, y) & 0xFFFFFFu) == 0xE01010u ? 1 : 0;
      }
    }
    XDestroyImage(image);
    return red;
  };
  EXPECT_TRUE(waitFor([&] { return redInThePanel() >= 100; }));
  const std::string shot = ::testing::TempDir() + "sni_panel.png";
  ASSERT_TRUE(s::testing::screenshot(user, 0, 0, 1024, 40, shot));
  std::printf("panel: %s\n", shot.c_str());
  XCloseDisplay(user);

  call("Activate", 100, 5);
  call("ContextMenu", 200, 6);
  call("SecondaryActivate", 300, 7);
  ASSERT_TRUE(waitFor([&] { return heard_.clicks.size() >= 3; }));
  EXPECT_EQ(heard_.clicks[0].click, TrayClick::kLeft);
  EXPECT_EQ(heard_.clicks[0].x, 100);
  EXPECT_EQ(heard_.clicks[0].y, 5);
  EXPECT_EQ(heard_.clicks[1].click, TrayClick::kRight);
  EXPECT_EQ(heard_.clicks[1].x, 200);
  EXPECT_EQ(heard_.clicks[2].click, TrayClick::kMiddle);

  item_->hide();
  EXPECT_TRUE(waitFor([&] { return !listed(); }));
  item_->show(testIcon(), "Netvigil");
  EXPECT_TRUE(waitFor([&] { return listed(); }));

  desktop_.stopPanel();
  EXPECT_TRUE(waitFor([&] { return !item_->hostAvailable(); }));
  ASSERT_TRUE(desktop_.startPanel());
  EXPECT_TRUE(waitFor([&] { return item_->hostAvailable() && listed(); }));
}

TEST(StatusNotifierItem, ABusThatCannotBeReachedGivesNoItem) {
  EventLoop loop;
  Heard heard;
  EXPECT_EQ(StatusNotifierItem::open("unix:path=/nonexistent/bus", loop, heard), nullptr);
}

}  // namespace

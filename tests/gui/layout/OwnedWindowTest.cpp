#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "gui/layout/OwnedWindow.h"
#include "gui/layout/Window.h"
#include "platform/offscreen/OffscreenDisplay.h"
#include "tests/gui/layout/WindowFixture.h"

namespace {

using s::gui::win::Component;
using s::gui::win::OwnedWindow;
using s::gui::win::Window;
using s::platform::ui::Event;
using s::platform::ui::EventKind;
using s::platform::ui::WindowId;
using s::platform::ui::WindowKind;
using s::testing::Probe;
using s::testing::Recorder;

class OwnedWindowTest : public s::testing::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    window_->setBounds(100, 100, 300, 200);
    window_->show(true);
    window_->addListener(s::gui::kWindowLeftPress, &owner_);
    window_->addListener(s::gui::kWindowKey, &owner_);
  }
  // A shown pop-up at (400, 300) holding one probe, 20 pixels in from its left edge.
  s::PoolPtr<OwnedWindow> popUp(Probe*& probe, Recorder& heard) {
    auto popup = OwnedWindow::make();
    probe = Probe::take();
    probe->setMinSize(60, 40);
    probe->setBackground(0x30, 0x90, 0x20, false);
    popup->setInsetLeft(20);
    popup->add(probe);
    EXPECT_TRUE(popup->open(*window_, {.kind = WindowKind::kPopup, .bounds = {400, 300, 120, 60}}));
    for (auto code : {s::gui::kWindowLeftPress, s::gui::kWindowKey, s::gui::kWindowCaptureLost}) {
      popup->addListener(code, &heard);
    }
    popup->show(false);
    settle();
    return popup;
  }
  void injectTo(WindowId window, const Event& event) {
    Event e = event;
    e.window = window;
    screen().inject(e);
  }

  Recorder owner_;
};

TEST_F(OwnedWindowTest, APopUpPaintsItsComponentsAndTakesItsOwnInput) {
  Probe* probe = nullptr;
  Recorder heard;
  auto popup = popUp(probe, heard);
  const WindowId id = popup->platformWindow();
  ASSERT_NE(id, 0u);
  window_->runSync([&] {
    const auto* state = screen().state(id);
    EXPECT_EQ(state->options.kind, WindowKind::kPopup);
    EXPECT_EQ(state->options.owner, window_->platformWindow());
    EXPECT_EQ(state->bounds, (s::platform::ui::Rect{400, 300, 120, 60}));
    // Its own back buffer: the probe in the pop-up, the owner untouched there.
    EXPECT_EQ(screen().pixel(id, 30, 10), 0x309020u);
    EXPECT_EQ(screen().pixel(id, 5, 10), 0xF0F0F0u);
    EXPECT_NE(screen().pixel(window_->platformWindow(), 30, 10), 0x309020u);
  });
  // Its components, in their own coordinates; the owner hears nothing of it.
  injectTo(id, {.kind = EventKind::kButtonPress, .x = 30, .y = 12, .button = 1});
  injectTo(id, {.kind = EventKind::kButtonRelease, .x = 31, .y = 12, .button = 1});
  injectTo(id, {.kind = EventKind::kKeyPress, .keysym = 'a'});
  waitFor([&] { return heard.count(s::gui::kWindowKey) > 0; });
  window_->runSync([&] {
    ASSERT_EQ(probe->hits.size(), 2u);
    EXPECT_EQ(probe->hits[0].x, 10);
    EXPECT_EQ(probe->hits[0].y, 12);
    EXPECT_EQ(probe->hits[1].kind, EventKind::kButtonRelease);
  });
  // A press beside the probe is the pop-up's to hear.
  injectTo(id, {.kind = EventKind::kButtonPress, .x = 5, .y = 5, .button = 1, .timeMs = 1});
  waitFor([&] { return heard.count(s::gui::kWindowLeftPress) > 0; });
  EXPECT_EQ(heard.count(s::gui::kWindowLeftPress), 1);
  EXPECT_EQ(owner_.count(s::gui::kWindowLeftPress), 0);
  EXPECT_EQ(owner_.count(s::gui::kWindowKey), 0);

  // Closed, its platform window is gone and the owner's events are the owner's.
  popup->close();
  window_->runSync([&] { EXPECT_EQ(screen().state(id), nullptr); });
  EXPECT_FALSE(popup->isOpen());
  inject({.kind = EventKind::kKeyPress, .keysym = 'b'});
  waitFor([&] { return owner_.count(s::gui::kWindowKey) > 0; });
  EXPECT_EQ(owner_.count(s::gui::kWindowKey), 1);
}

// A menu holds all input: what happens over the owner window is the menu's (a click outside it
// closes it), until another grab takes the input away or the menu lets it go.
TEST_F(OwnedWindowTest, APopUpHoldingTheInputGetsTheOwnersUntilItLosesIt) {
  Probe* probe = nullptr;
  Recorder heard;
  auto popup = popUp(probe, heard);
  ASSERT_TRUE(popup->grabInput());
  window_->runSync([&] { EXPECT_EQ(screen().pointerGrab(), popup->platformWindow()); });
  // Over the owner at (105, 105) on the screen: in the pop-up's coordinates, outside it.
  inject(
      {.kind = EventKind::kButtonPress, .x = 5, .y = 5, .rootX = 105, .rootY = 105, .button = 1});
  inject({.kind = EventKind::kKeyPress, .keysym = 0xFF1B});
  waitFor([&] { return heard.count(s::gui::kWindowKey) > 0; });
  Event press;
  window_->runSync([&] { press = popup->lastInput(); });
  EXPECT_EQ(press.keysym, 0xFF1Bu);
  EXPECT_EQ(heard.count(s::gui::kWindowLeftPress), 1);
  EXPECT_EQ(owner_.count(s::gui::kWindowLeftPress), 0);
  EXPECT_EQ(owner_.count(s::gui::kWindowKey), 0);
  window_->runSync([&] { EXPECT_TRUE(probe->hits.empty()); });

  // A second pop-up takes the input: the first hears of it once.
  Probe* other = nullptr;
  Recorder otherHeard;
  auto second = popUp(other, otherHeard);
  ASSERT_TRUE(second->grabInput());
  waitFor([&] { return heard.count(s::gui::kWindowCaptureLost) > 0; });
  EXPECT_EQ(heard.count(s::gui::kWindowCaptureLost), 1);
  EXPECT_FALSE(popup->holdsInput());
  second->releaseInput();
  inject({.kind = EventKind::kKeyPress, .keysym = 'c'});
  waitFor([&] { return owner_.count(s::gui::kWindowKey) > 0; });
  EXPECT_EQ(owner_.count(s::gui::kWindowKey), 1);
  EXPECT_EQ(otherHeard.count(s::gui::kWindowKey), 0);
  window_->runSync([&] { EXPECT_EQ(screen().pointerGrab(), 0u); });
}

TEST_F(OwnedWindowTest, ATrayIconIsNotMadeWhereNoNotificationAreaRuns) {
  window_->runSync([&] { screen().refuseWindows(WindowKind::kTrayIcon); });
  auto icon = OwnedWindow::make();
  EXPECT_FALSE(icon->open(*window_, {.kind = WindowKind::kTrayIcon, .bounds = {0, 0, 22, 22}}));
  EXPECT_FALSE(icon->isOpen());
  icon->show(false);  // nothing to show, nothing done
  window_->runSync([&] { EXPECT_EQ(screen().windows().size(), 1u); });
}

// The owner goes first: its thread takes the platform window, the object stays usable.
TEST_F(OwnedWindowTest, AnOwnerThatEndsFirstLeavesItsOwnedWindowClosed) {
  Probe* probe = nullptr;
  Recorder heard;
  auto popup = popUp(probe, heard);
  ASSERT_TRUE(popup->grabInput());
  window_.reset();
  EXPECT_FALSE(popup->isOpen());
  EXPECT_FALSE(popup->holdsInput());
  popup->show(true);
  popup->close();
}

}  // namespace

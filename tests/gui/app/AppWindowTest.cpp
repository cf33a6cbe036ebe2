#include <gtest/gtest.h>

#include <optional>

#include "framework/settings/MappedData.h"
#include "gui/app/AppWindow.h"
#include "gui/layout/ResizeZones.h"
#include "gui/layout/ScreenRules.h"
#include "gui/layout/Window.h"
#include "platform/offscreen/OffscreenDisplay.h"

namespace {

using s::PoolPtr;
using s::app::MiddleClick;
using s::app::win::AppWindow;
using s::gui::win::Window;
using s::platform::offscreen::OffscreenDisplay;
using s::platform::ui::MoveResize;
using s::platform::ui::Rect;
using s::xml::MappedData;

PoolPtr<AppWindow> appWindow(MappedData& settings) {
  return AppWindow::newAppWindow({.settings = &settings, .localizer = nullptr, .icon = {}},
                                 u"MainWindow", 500000, 840, 600, false, MiddleClick::kIconize,
                                 nullptr, u"");
}

// Each value reads its default until set, then what was set, from its own key of the section.
TEST(AppWindow, EveryValueRoundTripsThroughItsSection) {
  PoolPtr<MappedData> store(MappedData::inMemory());
  PoolPtr<AppWindow> w = appWindow(*store);
  EXPECT_FALSE(w->hasPosition());
  EXPECT_EQ(w->getWidth(), 840);
  EXPECT_EQ(w->getHeight(), 600);
  EXPECT_TRUE(w->getEasyDrag());
  EXPECT_FALSE(w->getMaximized());
  EXPECT_FALSE(w->getKeepOnTop());
  EXPECT_EQ(w->getMiddleClickAction(), MiddleClick::kIconize);
  w->setBounds(11, 22, 333, 444);
  w->setEasyDrag(false);
  w->setMaximized(true);
  w->setKeepOnTop(true);
  w->setMiddleClickAction(MiddleClick::kClose);
  w->setSkin(u"Black");
  EXPECT_TRUE(w->hasPosition());
  EXPECT_EQ(store->getS32(u"MainWindow\\View", u"X", 0), 11);
  EXPECT_EQ(store->getS32(u"MainWindow\\View", u"Y", 0), 22);
  EXPECT_EQ(store->getS32(u"MainWindow\\View", u"Width", 0), 333);
  EXPECT_EQ(store->getS32(u"MainWindow\\View", u"Height", 0), 444);
  EXPECT_FALSE(store->getBool(u"MainWindow\\View", u"EasyDrag", true));
  EXPECT_TRUE(store->getBool(u"MainWindow\\View", u"Maximized", false));
  EXPECT_TRUE(store->getBool(u"MainWindow\\View", u"KeepOnTop", false));
  EXPECT_EQ(store->getString(u"MainWindow\\View", u"OnMClick", u""), u"Close");
  EXPECT_EQ(store->getString(u"MainWindow\\Skin", u"", u""), u"Black");
  EXPECT_EQ(w->getSkin(), u"Black");
  w->clearBounds();
  EXPECT_FALSE(w->hasX());
  EXPECT_FALSE(w->hasWidth());
  EXPECT_EQ(w->getWidth(), 840);
  EXPECT_TRUE(w->getMaximized());
}

TEST(AppWindow, MiddleClickWordsAndAnythingElseIsDoNothing) {
  PoolPtr<MappedData> store(MappedData::inMemory());
  PoolPtr<AppWindow> w = appWindow(*store);
  struct Case {
    std::u16string_view stored;
    MiddleClick action;
  };
  const Case cases[] = {
      {u"Close", MiddleClick::kClose},         {u"Iconize", MiddleClick::kIconize},
      {u"DoNothing", MiddleClick::kDoNothing}, {u"close", MiddleClick::kDoNothing},
      {u"", MiddleClick::kDoNothing},          {u"Minimize", MiddleClick::kDoNothing}};
  for (const Case& c : cases) {
    store->setString(u"MainWindow\\View", u"OnMClick", c.stored);
    EXPECT_EQ(w->getMiddleClickAction(), c.action);
  }
}

TEST(AppWindow, AStoredSizeIsUsedOnlyBetweenTenAndTheScreen) {
  PoolPtr<MappedData> store(MappedData::inMemory());
  PoolPtr<AppWindow> w = appWindow(*store);
  struct Case {
    std::int32_t size;
    bool usable;
  };
  const Case cases[] = {{5, false}, {9, false}, {10, true}, {1024, true}, {1025, false}};
  for (const Case& c : cases) {
    w->setSize(c.size, c.size);
    EXPECT_EQ(w->isWidthUsable(1024), c.usable) << c.size;
    EXPECT_EQ(w->isHeightUsable(1024), c.usable) << c.size;
  }
}

TEST(ScreenRules, AWindowIsOnTheScreenWhenItOverlapsItByTenPixels) {
  const Rect screen{0, 0, 1024, 768};
  struct Case {
    Rect window;
    bool on;
  };
  const Case cases[] = {
      {{100, 100, 400, 300}, true},  {{1014, 100, 400, 300}, true},  {{1015, 100, 400, 300}, false},
      {{-390, 100, 400, 300}, true}, {{-391, 100, 400, 300}, false}, {{100, 758, 400, 300}, true},
      {{100, 759, 400, 300}, false}, {{100, -291, 400, 300}, false}, {{100, 100, 10, 300}, false},
      {{100, 100, 11, 11}, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(s::gui::win::isOnScreen(c.window, screen), c.on)
        << c.window.x << "," << c.window.y << " " << c.window.width << "x" << c.window.height;
  }
  const Rect monitors[] = {{0, 0, 1000, 800}, {1000, 100, 800, 600}};
  EXPECT_EQ(s::gui::win::virtualScreen(monitors), (Rect{0, 0, 1800, 800}));
}

// The sizing zones of a skinned window of 400 × 300: five pixels along the edges, the corners
// taking thirty pixels at the ends of each side.
TEST(ResizeZones, EdgesAndCornersOfASkinnedFrame) {
  struct Case {
    std::int32_t x;
    std::int32_t y;
    std::optional<MoveResize> zone;
  };
  const Case cases[] = {
      {200, 150, std::nullopt},
      {399, 150, MoveResize::kSizeRight},
      {395, 150, MoveResize::kSizeRight},
      {394, 150, std::nullopt},
      {399, 29, MoveResize::kSizeTopRight},
      {399, 30, MoveResize::kSizeRight},
      {399, 271, MoveResize::kSizeBottomRight},
      {399, 270, MoveResize::kSizeRight},
      {0, 150, MoveResize::kSizeLeft},
      {4, 10, MoveResize::kSizeTopLeft},
      {4, 280, MoveResize::kSizeBottomLeft},
      {5, 150, std::nullopt},
      {200, 0, MoveResize::kSizeTop},
      {29, 4, MoveResize::kSizeTopLeft},
      {371, 4, MoveResize::kSizeTopRight},
      {370, 4, MoveResize::kSizeTop},
      {200, 299, MoveResize::kSizeBottom},
      {200, 295, MoveResize::kSizeBottom},
      {200, 294, std::nullopt},
      {10, 297, MoveResize::kSizeBottomLeft},
      {390, 297, MoveResize::kSizeBottomRight},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(s::gui::win::resizeZoneAt(c.x, c.y, 400, 300), c.zone) << c.x << "," << c.y;
  }
  EXPECT_EQ(s::gui::win::pointerFor(MoveResize::kSizeTopLeft),
            s::platform::ui::PointerShape::kSizeTopLeft);
}

class AppWindowOnScreen : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    Window::setDisplayFactory([] { return std::make_unique<OffscreenDisplay>(1024, 768); });
  }
  void SetUp() override {
    store_ = MappedData::inMemory();
    settings_ = appWindow(*store_);
    window_ = Window::make();
  }
  OffscreenDisplay& screen() { return *dynamic_cast<OffscreenDisplay*>(window_->display()); }
  Rect bounds() {
    Rect b;
    window_->runSync([&] { b = screen().bounds(window_->platformWindow()); });
    return b;
  }
  PoolPtr<MappedData> store_;
  PoolPtr<AppWindow> settings_;
  PoolPtr<Window> window_;
};

// The stored place when it is on the screen; the default size for an unusable one; the centre
// of the screen for a place off it.
TEST_F(AppWindowOnScreen, ApplySettingsPlacesSizesOrCentresTheWindow) {
  struct Case {
    const char* what;
    std::optional<Rect> stored;
    Rect expected;
  };
  const Case cases[] = {
      {"nothing stored", std::nullopt, {0, 0, 840, 600}},
      {"stored", Rect{30, 40, 500, 400}, {30, 40, 500, 400}},
      {"width 5", Rect{30, 40, 5, 400}, {30, 40, 840, 400}},
      {"off screen", Rect{3000, 40, 500, 400}, {262, 184, 500, 400}},
  };
  for (const Case& c : cases) {
    store_ = MappedData::inMemory();
    settings_ = appWindow(*store_);
    if (c.stored) {
      settings_->setBounds(c.stored->x, c.stored->y, c.stored->width, c.stored->height);
    }
    window_ = Window::make();
    window_->applySettings(*settings_, false);
    window_->runSync([] {});
    EXPECT_EQ(bounds(), c.expected) << c.what;
    EXPECT_TRUE(window_->isEasyDrag()) << c.what;
    EXPECT_EQ(window_->getMiddleClickAction(), MiddleClick::kIconize) << c.what;
  }
}

// A window maximized at exit starts maximized; restored, it writes "Maximized" false and keeps
// its last normal bounds; saving again with nothing changed writes nothing.
TEST_F(AppWindowOnScreen, MaximizedAcrossRestartsAndSavingOnlyWhatChanged) {
  settings_->setBounds(30, 40, 500, 400);
  settings_->setMaximized(true);
  window_->applySettings(*settings_, false);
  EXPECT_TRUE(window_->isMaximized());
  window_->runSync([&] { EXPECT_TRUE(screen().state(window_->platformWindow())->maximized); });
  window_->saveBounds();
  EXPECT_EQ(settings_->getX(), 30);
  window_->restore();
  EXPECT_FALSE(window_->isMaximized());
  EXPECT_FALSE(settings_->getMaximized());
  window_->runSync([&] { EXPECT_FALSE(screen().state(window_->platformWindow())->maximized); });
  EXPECT_EQ(window_->normalBounds(), (Rect{30, 40, 500, 400}));
  window_->saveBounds();
  EXPECT_EQ(settings_->getWidth(), 500);
  // Removed behind the window's back: an unchanged place is not written again, a changed one is.
  store_->removeValue(u"MainWindow\\View", u"Height");
  settings_->setX(30);
  window_->saveBounds();
  EXPECT_TRUE(settings_->hasHeight());
  window_->setBounds(60, 40, 500, 400);
  window_->runSync([] {});
  window_->runSync([] {});
  window_->saveBounds();
  EXPECT_EQ(settings_->getX(), 60);
}

// Keep on top reaches the window manager and the setting; without a notification area an
// iconize minimizes to the taskbar and the window stays there, not hidden.
TEST_F(AppWindowOnScreen, KeepOnTopIsWrittenAndIconizingWithoutATrayMinimizes) {
  window_->applySettings(*settings_, false);
  window_->setKeepOnTop(true);
  EXPECT_TRUE(settings_->getKeepOnTop());
  window_->show(true);
  window_->iconize();
  window_->runSync([&] {
    const auto* state = screen().state(window_->platformWindow());
    EXPECT_TRUE(state->keepOnTop);
    EXPECT_TRUE(state->iconified);
    EXPECT_TRUE(state->shown);
  });
  EXPECT_FALSE(window_->isIconized());
  EXPECT_TRUE(window_->isIconic());
  window_->showRequested();
  window_->runSync([] {});
  window_->runSync([&] { EXPECT_FALSE(screen().state(window_->platformWindow())->iconified); });
}

// A middle click does what "OnMClick" says; easy drag hands a left press on an empty area to
// the window manager.
TEST_F(AppWindowOnScreen, MiddleClickActionsAndEasyDrag) {
  window_->applySettings(*settings_, false);
  window_->show(true);
  auto press = [&](std::uint32_t button) {
    s::platform::ui::Event e{.kind = s::platform::ui::EventKind::kButtonPress,
                             .window = window_->platformWindow(),
                             .x = 50,
                             .y = 50,
                             .rootX = 50,
                             .rootY = 50,
                             .button = button};
    screen().inject(e);
    e.kind = s::platform::ui::EventKind::kButtonRelease;
    screen().inject(e);
    window_->runSync([] {});
    window_->runSync([] {});
  };
  press(1);
  window_->runSync([&] {
    const auto* state = screen().state(window_->platformWindow());
    EXPECT_EQ(state->moveResizeCount, 1);
    EXPECT_EQ(state->moveResize, MoveResize::kMove);
  });
  window_->setMiddleClickAction(MiddleClick::kDoNothing);
  EXPECT_EQ(settings_->getMiddleClickAction(), MiddleClick::kDoNothing);
  press(2);
  EXPECT_FALSE(window_->isIconic());
  window_->setMiddleClickAction(MiddleClick::kIconize);
  press(2);
  EXPECT_TRUE(window_->isIconic());
  window_->restore();
  window_->setMiddleClickAction(MiddleClick::kClose);
  press(2);
  EXPECT_TRUE(window_->isClosed());
}

}  // namespace

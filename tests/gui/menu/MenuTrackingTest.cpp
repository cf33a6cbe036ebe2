#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "gui/layout/Box.h"
#include "gui/layout/Window.h"
#include "gui/menu/MenuEx.h"
#include "gui/menu/PopupMenu.h"
#include "platform/offscreen/OffscreenDisplay.h"

namespace {

using s::PoolPtr;
using s::gui::menuitem::MenuItem;
using s::gui::win::MenuEx;
using s::gui::win::PopupMenu;
using s::gui::win::Window;
using s::platform::offscreen::OffscreenDisplay;
using s::platform::ui::Event;
using s::platform::ui::EventKind;
using s::platform::ui::Rect;
using s::platform::ui::WindowId;

constexpr std::uint32_t kDown = 0xFF54;
constexpr std::uint32_t kReturn = 0xFF0D;
constexpr std::uint32_t kEscape = 0xFF1B;
constexpr std::uint32_t kRight = 0xFF53;

// The commands a menu dispatched, in order, with the menu that did.
struct Commands : s::gui::events::IEventListener {
  std::mutex lock;
  std::vector<std::pair<s::IObject*, std::int32_t>> heard;
  void onEvent(s::IObject* source, std::int32_t /*code*/) override {
    std::lock_guard<std::mutex> hold(lock);
    heard.emplace_back(source, static_cast<PopupMenu*>(source)->getLastCommand());
  }
  std::vector<std::pair<s::IObject*, std::int32_t>> all() {
    std::lock_guard<std::mutex> hold(lock);
    return heard;
  }
};

PoolPtr<PopupMenu> menuOf(std::u16string_view name, std::initializer_list<std::int32_t> ids) {
  PoolPtr<PopupMenu> menu = PopupMenu::make();
  menu->setName(name);
  for (std::int32_t id : ids) {
    menu->add(MenuItem::newMenuItemText(u"Item " + std::u16string(1, u'0' + id % 10), id));
  }
  return menu;
}

class MenuTracking : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    Window::setDisplayFactory([] { return std::make_unique<OffscreenDisplay>(); });
  }
  void SetUp() override {
    window_ = Window::make();
    window_->setBounds(100, 100, 400, 300);
    bar_ = MenuEx::take();
    auto file = menuOf(u"File", {1, 2});
    auto view = menuOf(u"View", {3, 4, 5, 6});
    file->addListener(&commands_);
    view->addListener(&commands_);
    file_ = file.get();
    view_ = view.get();
    bar_->addMenu(std::move(file));
    bar_->addMenu(std::move(view));
    s::gui::win::Box* root =
        s::gui::win::Box::newBox(100, 100, 0, 0, 0, 0, 0, 0, s::gui::kLayoutVertical);
    root->add(bar_);
    window_->add(root);
    window_->setMenuBar(bar_);
    window_->show(true);
    settle();
  }
  OffscreenDisplay& screen() { return *dynamic_cast<OffscreenDisplay*>(window_->display()); }
  void settle() {
    window_->runSync([] {});
    window_->runSync([] {});
  }
  void inject(Event e, WindowId to = 0) {
    e.window = to != 0 ? to : window_->platformWindow();
    screen().inject(e);
  }
  // The pop-up windows open now, oldest first; waits (bounded) until there are `count`.
  std::vector<Rect> popups(std::size_t count) {
    std::vector<Rect> found;
    for (int i = 0; i < 400; ++i) {
      found.clear();
      window_->runSync([&] {
        for (WindowId id : screen().windows()) {
          if (screen().state(id)->options.kind == s::platform::ui::WindowKind::kPopup) {
            found.push_back(screen().state(id)->bounds);
            ids_.push_back(id);
          }
        }
      });
      if (found.size() == count) {
        return found;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return found;
  }
  WindowId lastPopup() {
    WindowId id = 0;
    window_->runSync([&] {
      for (WindowId w : screen().windows()) {
        if (screen().state(w)->options.kind == s::platform::ui::WindowKind::kPopup) {
          id = w;
        }
      }
    });
    return id;
  }
  // A press (and release) on title `i` of the bar, in the window's coordinates.
  void clickTitle(std::uint32_t i) {
    const Rect title = bar_->titleRect(i);
    const std::int32_t x = title.x + title.width / 2;
    const std::int32_t y = title.height / 2;
    inject({.kind = EventKind::kButtonPress,
            .x = x,
            .y = y,
            .rootX = 100 + x,
            .rootY = 100 + y,
            .button = 1});
  }

  PoolPtr<Window> window_;
  MenuEx* bar_ = nullptr;
  PopupMenu* file_ = nullptr;
  PopupMenu* view_ = nullptr;
  Commands commands_;
  std::vector<WindowId> ids_;
};

// A command found in the bar, the tray menu and the context menu goes to the first of them.
TEST_F(MenuTracking, ACommandGoesToTheBarThenTheTrayMenuThenTheContextMenu) {
  PoolPtr<PopupMenu> tray = menuOf(u"Tray", {2, 7});
  PoolPtr<PopupMenu> context = menuOf(u"Context", {2, 7, 8});
  tray->addListener(&commands_);
  context->addListener(&commands_);
  window_->setTrayMenu(tray.get());
  window_->setContextMenu(context.get(), true);
  struct Case {
    std::int32_t command;
    s::IObject* expected;
  };
  const Case cases[] = {{2, file_}, {5, view_}, {7, tray.get()}, {8, context.get()}, {9, nullptr}};
  for (const Case& c : cases) {
    commands_.heard.clear();
    EXPECT_EQ(window_->routeCommand(c.command), c.expected != nullptr) << c.command;
    const auto heard = commands_.all();
    if (c.expected == nullptr) {
      EXPECT_TRUE(heard.empty());
    } else {
      ASSERT_EQ(heard.size(), 1u) << c.command;
      EXPECT_EQ(heard[0].first, c.expected) << c.command;
      EXPECT_EQ(heard[0].second, c.command);
    }
  }
  window_->setTrayMenu(nullptr);
  window_->setContextMenu(nullptr, false);
}

// A right click opens the context menu at the pointer; the keys move over the greyed entry and
// Enter chooses, which reaches the menu's listeners through the window's routing.
TEST_F(MenuTracking, TheContextMenuOpensAtThePointerAndTheKeysChoose) {
  PoolPtr<PopupMenu> context = menuOf(u"Context", {7, 8, 9});
  context->setEnabled(8, false);
  context->addListener(&commands_);
  window_->setContextMenu(context.get(), true);
  inject({.kind = EventKind::kButtonPress,
          .x = 50,
          .y = 150,
          .rootX = 150,
          .rootY = 250,
          .button = 3});
  const std::vector<Rect> open = popups(1);
  ASSERT_EQ(open.size(), 1u);
  EXPECT_EQ(open[0].x, 150);
  EXPECT_EQ(open[0].y, 250);
  const WindowId popup = lastPopup();
  window_->runSync([&] { EXPECT_EQ(screen().pointerGrab(), popup); });
  inject({.kind = EventKind::kKeyPress, .keysym = kDown}, popup);
  inject({.kind = EventKind::kKeyPress, .keysym = kDown}, popup);
  inject({.kind = EventKind::kKeyPress, .keysym = kReturn}, popup);
  EXPECT_TRUE(popups(0).empty());
  const auto heard = commands_.all();
  ASSERT_EQ(heard.size(), 1u);
  EXPECT_EQ(heard[0].second, 9);
  window_->setContextMenu(nullptr, false);
}

// Right opens a sub-menu beside its entry; the pointer chooses in it.
TEST_F(MenuTracking, ASubMenuOpensBesideItsEntryAndItsItemCanBeChosen) {
  PoolPtr<PopupMenu> context = menuOf(u"Context", {7});
  PoolPtr<PopupMenu> more = menuOf(u"More", {30, 31});
  context->addSubMenu(std::move(more));
  context->addListener(&commands_);
  window_->setContextMenu(context.get(), true);
  inject({.kind = EventKind::kButtonPress,
          .x = 50,
          .y = 150,
          .rootX = 150,
          .rootY = 250,
          .button = 3});
  ASSERT_EQ(popups(1).size(), 1u);
  const WindowId first = lastPopup();
  inject({.kind = EventKind::kKeyPress, .keysym = kDown}, first);
  inject({.kind = EventKind::kKeyPress, .keysym = kDown}, first);
  inject({.kind = EventKind::kKeyPress, .keysym = kRight}, first);
  const std::vector<Rect> open = popups(2);
  ASSERT_EQ(open.size(), 2u);
  EXPECT_EQ(open[1].x, open[0].x + open[0].width);
  const WindowId sub = lastPopup();
  // The second row of the sub-menu: over it, then released there.
  const std::int32_t x = open[1].x + 20;
  const std::int32_t y = open[1].y + open[1].height * 3 / 4;
  inject({.kind = EventKind::kMotion, .x = 20, .y = y - open[1].y, .rootX = x, .rootY = y}, sub);
  inject({.kind = EventKind::kButtonRelease,
          .x = 20,
          .y = y - open[1].y,
          .rootX = x,
          .rootY = y,
          .button = 3},
         sub);
  EXPECT_TRUE(popups(0).empty());
  const auto heard = commands_.all();
  ASSERT_EQ(heard.size(), 1u);
  EXPECT_EQ(heard[0].second, 31);
  window_->setContextMenu(nullptr, false);
}

// With a menu open, moving the pointer to the next title switches menus without a click.
TEST_F(MenuTracking, MovingAlongTheBarSwitchesTheOpenMenu) {
  clickTitle(0);
  std::vector<Rect> open = popups(1);
  ASSERT_EQ(open.size(), 1u);
  const std::int32_t fileHeight = open[0].height;
  EXPECT_EQ(open[0].x, 100 + bar_->titleRect(0).x);
  EXPECT_EQ(open[0].y, 100 + bar_->titleRect(0).height);
  const Rect view = bar_->titleRect(1);
  inject(
      {.kind = EventKind::kMotion, .x = view.x + 5, .y = 5, .rootX = 105 + view.x, .rootY = 105});
  for (int i = 0; i < 400; ++i) {
    open = popups(1);
    if (open.size() == 1 && open[0].height != fileHeight) {
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_EQ(open.size(), 1u);
  EXPECT_GT(open[0].height, fileHeight);  // four items, not two
  EXPECT_EQ(open[0].x, 100 + view.x);
  EXPECT_EQ(bar_->getHotEntry(), 1);
  inject({.kind = EventKind::kKeyPress, .keysym = kEscape}, lastPopup());
  EXPECT_TRUE(popups(0).empty());
  EXPECT_EQ(bar_->getHotEntry(), -1);
}

// A second click on the open title closes its menu and leaves it closed; half a second after
// a menu closed, a click opens it again.
TEST_F(MenuTracking, ASecondClickOnTheTitleClosesItsMenuForGood) {
  clickTitle(0);
  ASSERT_EQ(popups(1).size(), 1u);
  clickTitle(0);
  EXPECT_TRUE(popups(0).empty());
  settle();
  EXPECT_FALSE(bar_->isPopupOpen());
  EXPECT_TRUE(popups(0).empty());
  std::this_thread::sleep_for(MenuEx::kReopenGuard + std::chrono::milliseconds(20));
  clickTitle(0);
  ASSERT_EQ(popups(1).size(), 1u);
  inject({.kind = EventKind::kKeyPress, .keysym = kEscape}, lastPopup());
  EXPECT_TRUE(popups(0).empty());
}

}  // namespace

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "framework/lang/Localizer.h"
#include "framework/lang/TextIds.h"
#include "framework/str/Utf8.h"
#include "gui/layout/Box.h"
#include "gui/layout/Disabler.h"
#include "gui/layout/Enabler.h"
#include "gui/layout/MessageBoxW.h"
#include "gui/layout/Spacer.h"
#include "gui/layout/Window.h"
#include "platform/offscreen/OffscreenDisplay.h"

namespace {

using s::gui::IComponent;
using s::gui::win::Box;
using s::gui::win::Spacer;
using s::gui::win::Window;
using s::platform::offscreen::OffscreenDisplay;
using s::platform::ui::Event;
using s::platform::ui::EventKind;

// Records the events it hears, from whichever thread.
struct Recorder : s::gui::events::IEventListener {
  std::mutex lock;
  std::vector<std::int32_t> codes;
  std::vector<std::thread::id> threads;
  std::function<void(std::int32_t)> also;
  void onEvent(s::IObject* /*source*/, std::int32_t code) override {
    {
      std::lock_guard<std::mutex> hold(lock);
      codes.push_back(code);
      threads.push_back(std::this_thread::get_id());
    }
    if (also) {
      also(code);
    }
  }
  int count(std::int32_t code) {
    std::lock_guard<std::mutex> hold(lock);
    return static_cast<int>(std::count(codes.begin(), codes.end(), code));
  }
};

class WindowTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    Window::setDisplayFactory([] { return std::make_unique<OffscreenDisplay>(); });
  }
  void SetUp() override { window_ = Window::make(); }
  OffscreenDisplay& screen() { return *dynamic_cast<OffscreenDisplay*>(window_->display()); }
  // Lets the window's thread finish what is queued (painting included).
  void settle() {
    window_->runSync([] {});
    window_->runSync([] {});
  }
  std::uint32_t pixel(int x, int y) {
    std::uint32_t value = 0;
    window_->runSync([&] { value = screen().pixel(window_->platformWindow(), x, y); });
    return value;
  }
  void inject(const Event& event) {
    Event e = event;
    e.window = window_->platformWindow();
    screen().inject(e);
  }
  // Waits for the message box the window's thread has opened and answers its id.
  s::platform::ui::WindowId waitForDialog() {
    s::platform::ui::WindowId dialog = 0;
    for (int i = 0; i < 500 && dialog == 0; ++i) {
      // Runs inside the box's nested loop: the window still serves other threads.
      window_->runSync([&] {
        for (auto id : screen().windows()) {
          if (screen().state(id)->options.kind == s::platform::ui::WindowKind::kDialog) {
            dialog = id;
          }
        }
      });
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return dialog;
  }
  template <class Done>
  void waitFor(Done done) {
    for (int i = 0; i < 500 && !done(); ++i) {
      settle();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }

  s::PoolPtr<Window> window_;
};

TEST_F(WindowTest, RunsItsOwnThreadWithAHiddenPlatformWindow) {
  ASSERT_TRUE(window_->isCreated());
  EXPECT_FALSE(window_->isUiThread());
  std::thread::id uiThread;
  std::string title;
  bool shown = true;
  ASSERT_TRUE(window_->runSync([&] {
    uiThread = std::this_thread::get_id();
    const auto* state = screen().state(window_->platformWindow());
    title = state->title;
    shown = state->shown;
    EXPECT_EQ(state->bounds.width, 240);
    EXPECT_EQ(state->bounds.height, 120);
  }));
  EXPECT_NE(uiThread, std::this_thread::get_id());
  EXPECT_EQ(title, "Window");
  EXPECT_FALSE(shown);

  // An operation from this thread has been done when it returns.
  window_->setTitle("Сетевой монитор");
  window_->setKeepOnTop(true);
  window_->runSync([&] {
    const auto* state = screen().state(window_->platformWindow());
    title = state->title;
    EXPECT_TRUE(state->keepOnTop);
  });
  EXPECT_EQ(title, "Сетевой монитор");
}

TEST_F(WindowTest, ChildrenAreCreatedWithTheirBoxAndLaidOutAtOnce) {
  // Built before it joins the window: nothing exists yet.
  Box* column = Box::newBox(100, 100, 0, 0, 0, 4, 0, 0, s::gui::kLayoutVertical);
  Spacer* first = Spacer::take();
  first->setNaturalSize(1000, 0);  // as wide as the column lets it
  first->setFixedHeight(20);
  column->add(first);
  EXPECT_FALSE(first->created());

  window_->add(column);
  EXPECT_TRUE(column->created());
  EXPECT_TRUE(first->created());
  EXPECT_EQ(column->getWidth(), 240);
  EXPECT_EQ(column->getHeight(), 120);
  EXPECT_EQ(first->getWidth(), 240);

  // Added to a box that exists: created, placed and laid out at once.
  Spacer* second = Spacer::take();
  second->setNaturalSize(1000, 0);
  second->setFixedHeight(10);
  column->add(second);
  EXPECT_TRUE(second->created());
  EXPECT_EQ(second->getY(), 24);
  EXPECT_EQ(second->platformBounds(), (s::platform::ui::Rect{0, 24, 240, 10}));

  // Each child's platform rectangle moves once per layout, however many setters ran.
  const std::uint32_t moves = second->platformMoves();
  first->setFixedHeight(30);
  column->relayout();
  EXPECT_EQ(second->platformMoves(), moves + 1);
  EXPECT_EQ(second->platformBounds().y, 34);

  // A hidden component is parked out of sight; shown again it is laid out again.
  second->setVisible(false, false);
  EXPECT_EQ(second->platformBounds().x, -10000);
  EXPECT_EQ(second->platformBounds().y, 10000);
  EXPECT_FALSE(second->isVisible());
  second->setVisible(true, false);
  EXPECT_EQ(second->platformBounds().y, 34);

  column->remove(second, true);
  EXPECT_EQ(column->childCount(), 1u);

  // The window manager learns the least size the layout needs.
  column->setMinWidthOverride(180);
  window_->relayout();
  window_->relayout();
  int minWidth = 0;
  window_->runSync([&] { minWidth = screen().state(window_->platformWindow())->minWidth; });
  EXPECT_EQ(minWidth, 180);
}

TEST_F(WindowTest, PaintsTheTreeIntoTheWindow) {
  Box* root = Box::newBox(100, 100, 0, 0, 0, 0, 0, 0, s::gui::kLayoutVertical);
  root->setBackgroundWhite(false);
  Spacer* bar = Spacer::take();
  bar->setNaturalSize(1000, 0);
  bar->setFixedHeight(20);
  bar->setBackground(200, 0, 0, false);
  Spacer* rest = Spacer::take();
  rest->setMinSize(10, 10);
  rest->setNaturalSize(240, 200);
  rest->setBackground(0, 0, 200, false);
  root->add(bar);
  root->add(rest);
  window_->add(root);
  window_->show(true);
  settle();
  EXPECT_EQ(pixel(5, 5), 0xC80000u);
  EXPECT_EQ(pixel(239, 19), 0xC80000u);
  EXPECT_EQ(pixel(5, 20), 0x0000C8u);
  EXPECT_EQ(pixel(120, 119), 0x0000C8u);

  // Hiding the bar uncovers the box below it.
  bar->setVisible(false, false);
  settle();
  EXPECT_EQ(pixel(5, 5), 0xFFFFFFu);

  // A resize from the platform (the user dragging the frame) lays the window out again.
  Recorder sizes;
  for (s::gui::WindowEvent code : {s::gui::kWindowResizing, s::gui::kWindowSized,
                                   s::gui::kWindowMoving, s::gui::kWindowMoved}) {
    window_->addListener(code, &sizes);
  }
  inject({.kind = EventKind::kConfigure, .rootX = 0, .rootY = 0, .width = 300, .height = 150});
  waitFor([&] { return sizes.count(s::gui::kWindowSized) > 0; });
  inject({.kind = EventKind::kConfigure, .rootX = 20, .rootY = 30, .width = 300, .height = 150});
  waitFor([&] { return sizes.count(s::gui::kWindowMoved) > 0; });
  {
    std::lock_guard<std::mutex> hold(sizes.lock);
    EXPECT_EQ(sizes.codes,
              (std::vector<std::int32_t>{s::gui::kWindowResizing, s::gui::kWindowSized,
                                         s::gui::kWindowMoving, s::gui::kWindowMoved}));
  }
  EXPECT_EQ(window_->getX(), 20);
  EXPECT_EQ(root->getWidth(), 300);
  EXPECT_EQ(rest->getWidth(), 240);  // its natural width is the most it takes
}

TEST_F(WindowTest, CloseListenerMayCancelTheClose) {
  window_->show(false);
  Recorder listener;
  listener.also = [&](std::int32_t code) {
    if (code == s::gui::kWindowClosing) {
      window_->cancelClose();
    }
  };
  window_->addCloseListener(&listener);
  window_->close();
  EXPECT_EQ(listener.count(s::gui::kWindowClosing), 1);
  EXPECT_FALSE(window_->isClosed());
  bool shown = false;
  window_->runSync([&] { shown = screen().state(window_->platformWindow())->shown; });
  EXPECT_TRUE(shown);
  // Listeners hear events on the window's thread.
  EXPECT_NE(listener.threads[0], std::this_thread::get_id());

  // The window manager's close button, not cancelled this time.
  listener.also = nullptr;
  inject({.kind = EventKind::kCloseRequest});
  std::thread waiter([&] { window_->waitUntilClosed(); });
  waiter.join();
  EXPECT_TRUE(window_->isClosed());
  window_->runSync([&] { shown = screen().state(window_->platformWindow())->shown; });
  EXPECT_FALSE(shown);
}

TEST_F(WindowTest, CloseButtonIconizesWhenAsked) {
  window_->show(false);
  window_->setCloseIconizes(true);
  inject({.kind = EventKind::kCloseRequest});
  // No tray here: iconizing minimizes to the taskbar.
  waitFor([&] { return window_->isIconic(); });
  EXPECT_TRUE(window_->isIconic());
  EXPECT_FALSE(window_->isClosed());
  // Already iconized, the close button closes.
  inject({.kind = EventKind::kCloseRequest});
  window_->waitUntilClosed();
  EXPECT_TRUE(window_->isClosed());
}

TEST_F(WindowTest, ApplicationTimersReportTheirIds) {
  Recorder timers;
  std::atomic<std::uint32_t> lastId{0};
  timers.also = [&](std::int32_t) { lastId = window_->getTimerId(); };
  window_->addTimerListener(&timers);
  window_->setTimer(7, 5);
  waitFor([&] { return timers.count(s::gui::kWindowTimer) >= 2; });
  EXPECT_GE(timers.count(s::gui::kWindowTimer), 2);
  EXPECT_EQ(lastId.load(), 7u);
  window_->killTimer(7);
  settle();
  const int fired = timers.count(s::gui::kWindowTimer);
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  settle();
  EXPECT_EQ(timers.count(s::gui::kWindowTimer), fired);
}

TEST_F(WindowTest, InputBecomesWindowEvents) {
  Recorder input;
  for (s::gui::WindowEvent code :
       {s::gui::kWindowLeftPress, s::gui::kWindowLeftRelease, s::gui::kWindowDoubleClick,
        s::gui::kWindowRightPress, s::gui::kWindowWheel, s::gui::kWindowKey,
        s::gui::kWindowActivated}) {
    window_->addListener(code, &input);
  }
  window_->show(true);
  inject({.kind = EventKind::kButtonPress, .x = 10, .y = 10, .button = 1, .timeMs = 1000});
  inject({.kind = EventKind::kButtonRelease, .x = 10, .y = 10, .button = 1, .timeMs = 1050});
  inject({.kind = EventKind::kButtonPress, .x = 11, .y = 10, .button = 1, .timeMs = 1200});
  inject({.kind = EventKind::kButtonPress, .x = 11, .y = 10, .button = 3, .timeMs = 1300});
  inject({.kind = EventKind::kWheel, .x = 11, .y = 10, .wheel = -1});
  inject({.kind = EventKind::kKeyPress, .keysym = 'q'});
  waitFor([&] { return input.count(s::gui::kWindowKey) > 0; });
  std::lock_guard<std::mutex> hold(input.lock);
  EXPECT_EQ(input.codes, (std::vector<std::int32_t>{
                             s::gui::kWindowActivated, s::gui::kWindowLeftPress,
                             s::gui::kWindowLeftRelease, s::gui::kWindowDoubleClick,
                             s::gui::kWindowRightPress, s::gui::kWindowWheel, s::gui::kWindowKey}));
}

TEST(WindowWithoutDisplay, ReportsThatItCouldNotBeCreated) {
  Window::setDisplayFactory([] { return std::unique_ptr<s::platform::ui::IDisplay>(); });
  auto window = Window::make();
  EXPECT_FALSE(window->isCreated());
  EXPECT_FALSE(window->runSync([] {}));
  window->setTitle("stored only");  // no crash, no wait
  Window::setDisplayFactory([] { return std::make_unique<OffscreenDisplay>(); });
}

}  // namespace

namespace {

TEST_F(WindowTest, HotKeyTakenByAnotherProgramFailsWithTheWarningText) {
  constexpr std::uint32_t kCtrlAlt = 2 | 1;
  constexpr std::uint32_t kKeyN = 'n';
  // Another program on the same desktop holds Ctrl+Alt+N.
  OffscreenDisplay other;
  ASSERT_TRUE(other.grabHotKey(
      1, s::platform::ui::modifier::kControl | s::platform::ui::modifier::kAlt, kKeyN));
  bool registered = true;
  std::thread registering(
      [&] { registered = window_->registerHotKey(kCtrlAlt, kKeyN, "show", true); });
  // The failure is told in an information box, which waits to be dismissed.
  const auto box = waitForDialog();
  ASSERT_NE(box, 0u);
  screen().inject({.kind = EventKind::kKeyPress, .window = box, .keysym = 0xFF0D});
  registering.join();
  EXPECT_FALSE(registered);
  EXPECT_EQ(window_->lastHotKeyWarning(),
            "(10) HotKey Alt+Ctrl+110 has been occupied by another application.");
  EXPECT_EQ(Window::hotKeyOccupiedText(10, 1 | 2 | 4 | 8, 65),
            "(10) HotKey Alt+Ctrl+Shift+WinKey+65 has been occupied by another application.");

  // A free one works and its presses arrive as event 23.
  Recorder hotKeys;
  std::string name;
  hotKeys.also = [&](std::int32_t) { name = window_->hotKeyName(); };
  window_->addListener(s::gui::kWindowHotKey, &hotKeys);
  ASSERT_TRUE(window_->registerHotKey(kCtrlAlt, 'm', "show", true));
  // Registering the same name again replaces it rather than failing on our own grab.
  ASSERT_TRUE(window_->registerHotKey(kCtrlAlt, 'm', "show", true));
  screen().inject(
      {.kind = EventKind::kKeyPress,
       .modifiers = s::platform::ui::modifier::kControl | s::platform::ui::modifier::kAlt,
       .keysym = 'm'});
  waitFor([&] { return hotKeys.count(s::gui::kWindowHotKey) > 0; });
  EXPECT_EQ(hotKeys.count(s::gui::kWindowHotKey), 1);
  EXPECT_EQ(name, "show");
  window_->unregisterAllHotKeys();
  EXPECT_TRUE(other.grabHotKey(
      2, s::platform::ui::modifier::kControl | s::platform::ui::modifier::kAlt, 'm'));
}

}  // namespace

namespace {

TEST_F(WindowTest, MessageBoxIsModalAndAnswersItsButtons) {
  window_->setTitle("Netvigil");
  window_->show(true);
  Recorder owner;
  window_->addListener(s::gui::kWindowLeftPress, &owner);

  std::atomic<int> answer{-1};
  std::thread asker([&] { answer = window_->askYesNo("Close the connection?") ? 1 : 0; });
  const auto box = waitForDialog();
  ASSERT_NE(box, 0u);
  std::string title;
  std::uint32_t icon = 0;
  std::uint32_t face = 0;
  bool transient = false;
  window_->runSync([&] {
    const auto* state = screen().state(box);
    title = state->title;
    transient = state->options.owner == window_->platformWindow();
    icon = screen().pixel(box, 32, 32);
    face = screen().pixel(box, 2, 2);
  });
  EXPECT_EQ(title, "Netvigil");
  EXPECT_TRUE(transient);
  EXPECT_EQ(face, 0xF0F0F0u);
  EXPECT_NE(icon, face);  // the question mark's disc
  // The owner's input waits while the box is up.
  inject({.kind = EventKind::kButtonPress, .x = 5, .y = 5, .button = 1, .timeMs = 10});
  // Escape answers the last button, No.
  screen().inject({.kind = EventKind::kKeyPress, .window = box, .keysym = 0xFF1B});
  asker.join();
  EXPECT_EQ(answer.load(), 0);
  EXPECT_EQ(owner.count(s::gui::kWindowLeftPress), 0);

  // A click on the only button of an information box.
  std::thread informer([&] { window_->showInfo("Saved."); });
  const auto info = waitForDialog();
  ASSERT_NE(info, 0u);
  s::platform::ui::Rect bounds;
  window_->runSync([&] { bounds = screen().state(info)->bounds; });
  const Event click{.kind = EventKind::kButtonPress,
                    .window = info,
                    .x = bounds.width / 2,
                    .y = bounds.height - 16 - 13,
                    .button = 1};
  screen().inject(click);
  Event release = click;
  release.kind = EventKind::kButtonRelease;
  screen().inject(release);
  informer.join();
  window_->runSync([&] { EXPECT_EQ(screen().state(info), nullptr); });

  // Yes, No or Cancel: the close button cancels.
  std::atomic<bool> answered{true};
  std::thread canceller([&] {
    bool yes = true;
    answered = s::gui::win::MessageBoxW::askYesNoCancel(*window_, "Save first?", yes);
  });
  const auto third = waitForDialog();
  ASSERT_NE(third, 0u);
  screen().inject({.kind = EventKind::kCloseRequest, .window = third});
  canceller.join();
  EXPECT_FALSE(answered.load());
}

// A box opened from queued work while two other threads wait on the window's thread, as the
// refresh thread's list operations do: their calls are answered while the box is up.
TEST_F(WindowTest, SynchronousCallsAreAnsweredWhileABoxOpenedFromQueuedWorkIsUp) {
  window_->show(true);
  std::atomic<bool> boxClosed{false};
  std::thread asker([&] {
    window_->askYesNo("Disconnect?");
    boxClosed = true;
  });
  const auto box = waitForDialog();
  ASSERT_NE(box, 0u);
  std::atomic<int> served{0};
  std::vector<std::thread> callers;
  for (int c = 0; c < 2; ++c) {
    callers.emplace_back([&] {
      for (int i = 0; i < 50; ++i) {
        window_->runSync([&] { ++served; });
      }
    });
  }
  for (auto& caller : callers) {
    caller.join();
  }
  EXPECT_EQ(served.load(), 100);
  EXPECT_FALSE(boxClosed.load());
  screen().inject({.kind = EventKind::kKeyPress, .window = box, .keysym = 0xFF1B});
  asker.join();
}

}  // namespace

namespace {

TEST_F(WindowTest, InstanceMessagesAndNotificationsReachTheListenersOnTheWindowThread) {
  Recorder listener;
  listener.also = [&](std::int32_t code) {
    if (code == s::gui::kWindowMessage) {
      const auto& v = window_->messageValues();
      window_->setMessageAnswer(static_cast<std::int32_t>(v[0] + v[3]));
    }
  };
  window_->addMessageListener(&listener);
  window_->addListener(s::gui::kWindowNotification, &listener);
  EXPECT_EQ(window_->sendMessage(1027, 0, 0, 4), 1031);
  window_->notify(77);
  EXPECT_EQ(window_->notificationValue(), 77u);
  EXPECT_EQ(listener.count(s::gui::kWindowMessage), 1);
  EXPECT_EQ(listener.count(s::gui::kWindowNotification), 1);
}

TEST_F(WindowTest, EnablerAndDisablerSwitchTheirTargetsOnTheirSourceOnly) {
  auto source = Box::make();
  Box* a = Box::take();
  Box* b = Box::take();
  window_->add(a);
  window_->add(b);
  auto enabler = s::gui::events::Enabler::make();
  auto disabler = s::gui::events::Disabler::make();
  for (auto* switcher : {static_cast<s::gui::events::Switcher*>(enabler.get()),
                         static_cast<s::gui::events::Switcher*>(disabler.get())}) {
    switcher->setSource(source.get());
    switcher->addTarget(a);
    switcher->addTarget(b);
  }
  disabler->onEvent(source.get(), 0);
  EXPECT_FALSE(a->isEnabled());
  EXPECT_FALSE(b->isEnabled());
  enabler->onEvent(window_.get(), 0);  // not its source
  EXPECT_FALSE(a->isEnabled());
  enabler->onEvent(source.get(), 0);
  EXPECT_TRUE(a->isEnabled());
  EXPECT_TRUE(b->isEnabled());
}

}  // namespace

namespace {

TEST_F(WindowTest, TitleFromTheLanguagePackFollowsTheLanguage) {
  s::PoolPtr<s::lang::Localizer> localizer(s::lang::Localizer::fromResource(u"IDR_XML", 130));
  localizer->selectLanguage(u"English");
  window_->setLocalizer(localizer.get());
  window_->setTitleTextId(s::lang::text::kMakerName);
  auto title = [&] {
    std::string t;
    window_->runSync([&] { t = screen().state(window_->platformWindow())->title; });
    return t;
  };
  auto utf8 = [](std::u16string_view text) {
    std::string out(text.size() * 3, '\0');
    out.resize(s::str::utf8::encode(text, reinterpret_cast<std::uint8_t*>(out.data())));
    return out;
  };
  EXPECT_EQ(title(), utf8(localizer->text(s::lang::text::kMakerName)));
  EXPECT_FALSE(title().empty());
  localizer->selectLanguage(u"Russian");
  EXPECT_EQ(title(), utf8(localizer->text(s::lang::text::kMakerName)));
  window_->setLocalizer(nullptr);
}

}  // namespace

namespace {

// Hears a box's drops and what they carried.
struct DropRecorder : s::gui::events::IEventListener {
  std::vector<std::pair<std::int32_t, std::vector<std::u16string>>> drops;
  void onEvent(s::IObject* source, std::int32_t code) override {
    auto* box = dynamic_cast<Box*>(source);
    drops.emplace_back(
        code, code == s::gui::kEventFilesDropped ? box->getDroppedFiles() : box->getDroppedLinks());
  }
};

TEST_F(WindowTest, DroppedFilesAndLinksGoToTheBoxUnderTheDropThatTakesThem) {
  window_->setBounds(0, 0, 300, 100);
  Box* row = Box::newBox(100, 100, 0, 0, 0, 0, 0, 0, s::gui::kLayoutHorizontal);
  Box* files = Box::newBox(30, 100, 0, 0, 0, 0, 0, 0, s::gui::kLayoutHorizontal);
  Box* inner = Box::newBox(50, 50, 0, 0, 0, 0, 0, 0, s::gui::kLayoutHorizontal);
  Box* links = Box::newBox(30, 100, 0, 0, 0, 0, 0, 0, s::gui::kLayoutHorizontal);
  Box* neither = Box::newBox(30, 100, 0, 0, 0, 0, 0, 0, s::gui::kLayoutHorizontal);
  files->add(inner);
  row->add(files);
  row->add(links);
  row->add(neither);
  window_->add(row);
  window_->show(false);
  settle();
  auto isTarget = [&] {
    bool target = false;
    window_->runSync([&] { target = screen().state(window_->platformWindow())->dropTarget; });
    return target;
  };
  EXPECT_FALSE(isTarget());
  files->setAcceptFiles(true);
  links->setUrlDropTarget(true);
  EXPECT_TRUE(isTarget());
  DropRecorder fileDrops;
  DropRecorder linkDrops;
  files->addDropListener(&fileDrops);
  links->addDropListener(&linkDrops);

  const std::string both =
      "file:///tmp/report%202.txt\r\nhttps://netvigil.example/\r\nfile://localhost/etc/hosts\r\n";
  auto drop = [&](Box* on, const std::string& text) {
    const auto r = on->clientBounds();
    screen().injectDrop(window_->platformWindow(), r.x + 2, r.y + 2, text);
    settle();
  };
  drop(inner, both);  // a child that takes nothing passes the drop to its box
  drop(links, both);
  drop(neither, both);
  drop(links, "file:///only/a/file\r\n");  // nothing in it for a link target
  ASSERT_EQ(fileDrops.drops.size(), 1u);
  EXPECT_EQ(fileDrops.drops[0].first, s::gui::kEventFilesDropped);
  EXPECT_EQ(fileDrops.drops[0].second,
            (std::vector<std::u16string>{u"/tmp/report 2.txt", u"/etc/hosts"}));
  ASSERT_EQ(linkDrops.drops.size(), 1u);
  EXPECT_EQ(linkDrops.drops[0].first, s::gui::kEventLinksDropped);
  EXPECT_EQ(linkDrops.drops[0].second, std::vector<std::u16string>{u"https://netvigil.example/"});
  std::vector<bool> answers;
  window_->runSync([&] { answers = screen().dragAnswers(); });
  // Over and drop for each: taken, taken, refused twice, then over a target but nothing fit.
  EXPECT_EQ(answers, (std::vector<bool>{true, true, true, true, false, false, true, false}));

  files->setAcceptFiles(false);
  links->setUrlDropTarget(false);
  EXPECT_FALSE(isTarget());
}

}  // namespace

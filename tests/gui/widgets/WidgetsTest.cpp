#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "framework/lang/Localizer.h"
#include "framework/lang/TextIds.h"
#include "gui/drawer/Skinner.h"
#include "gui/layout/Box.h"
#include "gui/layout/Window.h"
#include "gui/widgets/Button.h"
#include "gui/widgets/Counter.h"
#include "gui/widgets/Label.h"
#include "gui/widgets/StatusBar.h"
#include "platform/offscreen/OffscreenDisplay.h"

namespace {

using s::gui::drawer::ISkin;
using s::gui::drawer::Skinner;
using s::gui::win::Box;
using s::gui::win::Button;
using s::gui::win::Counter;
using s::gui::win::Label;
using s::gui::win::StatusBar;
using s::gui::win::Window;
using s::platform::offscreen::OffscreenDisplay;
using s::platform::ui::Event;
using s::platform::ui::EventKind;

struct Recorder : s::gui::events::IEventListener {
  std::mutex lock;
  std::vector<std::int32_t> codes;
  std::vector<bool> pressedThen;
  Button* watched = nullptr;
  void onEvent(s::IObject* /*source*/, std::int32_t code) override {
    std::lock_guard<std::mutex> hold(lock);
    codes.push_back(code);
    pressedThen.push_back(watched != nullptr && watched->isPressed());
  }
  std::size_t size() {
    std::lock_guard<std::mutex> hold(lock);
    return codes.size();
  }
};

class WidgetsTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    Window::setDisplayFactory([] { return std::make_unique<OffscreenDisplay>(); });
  }
  void SetUp() override {
    window_ = Window::make();
    window_->setBounds(0, 0, 300, 120);
    root_ = Box::newBox(100, 100, 0, 0, 4, 4, 0, 0, s::gui::kLayoutHorizontal);
    // The window's own surface shows through (a skinned one's included).
    root_->setTransparent(false);
    window_->add(root_);
    window_->show(false);
    settle();
  }
  OffscreenDisplay& screen() { return *dynamic_cast<OffscreenDisplay*>(window_->display()); }
  void settle() {
    window_->runSync([] {});
    window_->runSync([] {});
  }
  template <class Done>
  bool waitFor(Done done) {
    for (int i = 0; i < 2000 && !done(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return done();
  }
  std::uint32_t pixel(int x, int y) {
    std::uint32_t value = 0;
    window_->runSync([&] { value = screen().pixel(window_->platformWindow(), x, y); });
    return value;
  }
  std::size_t presents() {
    std::size_t n = 0;
    window_->runSync([&] { n = screen().state(window_->platformWindow())->presented.size(); });
    return n;
  }
  void mouse(EventKind kind, s::gui::win::Component& at, int dx, int dy, std::uint32_t button = 1) {
    const auto r = at.clientBounds();
    Event e;
    e.kind = kind;
    e.window = window_->platformWindow();
    e.x = r.x + dx;
    e.y = r.y + dy;
    e.rootX = e.x;
    e.rootY = e.y;
    e.button = button;
    e.modifiers = kind == EventKind::kMotion ? 0 : 0;
    screen().inject(e);
    settle();
  }
  void click(s::gui::win::Component& at) {
    mouse(EventKind::kButtonPress, at, 3, 3);
    mouse(EventKind::kButtonRelease, at, 3, 3);
  }
  // Pixels in the label's rectangle that are not the background.
  int inked(s::gui::win::Component& c, std::uint32_t background) {
    int n = 0;
    const auto r = c.clientBounds();
    for (int y = r.y; y < r.y + r.height; ++y) {
      for (int x = r.x; x < r.x + r.width; ++x) {
        // Read straight from the screen copy: the window's thread is idle here.
        n += screen().pixel(window_->platformWindow(), x, y) != background ? 1 : 0;
      }
    }
    return n;
  }
  ISkin* skin(std::u16string_view family, std::u16string_view name) {
    skinner_ = Skinner::newSkinner(family);
    return skinner_->getSkin(static_cast<std::uint32_t>(skinner_->findSkin(name)));
  }

  s::PoolPtr<Window> window_;
  Box* root_ = nullptr;
  s::PoolPtr<Skinner> skinner_;
};

TEST_F(WidgetsTest, SetTextFromAnotherThreadReturnsOnceTheLabelShowsIt) {
  Label* label = Label::newLabel(u"", false, 0);
  root_->add(label);
  settle();
  const std::uint32_t background = pixel(200, 100);
  EXPECT_TRUE(label->setText(u"Collecting Information..", true));
  // No settling: the text is on the screen when setText returns.
  EXPECT_GT(label->getWidth(), 40);
  EXPECT_GT(inked(*label, background), 20);
  EXPECT_EQ(label->getText(), u"Collecting Information..");

  settle();
  const std::size_t before = presents();
  EXPECT_FALSE(label->setText(u"Collecting Information..", true));
  settle();
  EXPECT_EQ(presents(), before);

  // A shorter text leaves nothing of the longer one.
  EXPECT_TRUE(label->setText(u"0 B/s", true));
  settle();
  const int shortInk = inked(*label, background);
  EXPECT_GT(shortInk, 0);
  EXPECT_TRUE(label->setText(u"", true));
  settle();
  EXPECT_EQ(inked(*label, background), 0);
}

TEST_F(WidgetsTest, ATemporaryTextGivesWayToTheTextShownBeforeTheFirstOne) {
  Label* label = Label::newLabel(u"steady", false, 0);
  root_->add(label);
  settle();
  label->showTextFor(u"first", 40);
  EXPECT_EQ(label->getText(), u"first");
  label->showTextFor(u"second", 40);
  EXPECT_EQ(label->getText(), u"second");
  EXPECT_TRUE(waitFor([&] { return label->getText() == u"steady"; }));
  // The timer has stopped: the text stays.
  label->setText(u"later", true);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(label->getText(), u"later");
}

TEST_F(WidgetsTest, PlainLabelsLetTheMouseThroughAndLinksAreClicked) {
  Recorder window;
  window_->addListener(s::gui::kWindowLeftPress, &window);
  Label* plain = Label::newLabel(u"plain", false, 0);
  Label* link = Label::newLabel(u"link", false, 0);
  root_->add(plain);
  root_->add(link);
  link->setLink(true);
  Recorder clicks;
  link->addClickListener(&clicks);
  settle();
  click(*plain);
  EXPECT_EQ(window.size(), 1U);
  mouse(EventKind::kMotion, *link, 2, 2);
  EXPECT_EQ(link->getHotState(), 1);
  mouse(EventKind::kButtonPress, *link, 2, 2);
  EXPECT_EQ(link->getHotState(), 2);
  mouse(EventKind::kButtonRelease, *link, 2, 2);
  EXPECT_EQ(link->getHotState(), 0);
  EXPECT_EQ(clicks.codes, std::vector<std::int32_t>{1});
  EXPECT_EQ(window.size(), 1U);
  // Released outside after a press inside: no click.
  mouse(EventKind::kButtonPress, *link, 2, 2);
  mouse(EventKind::kButtonRelease, *link, 200, 60);
  EXPECT_EQ(clicks.size(), 1U);
}

TEST_F(WidgetsTest, ALabelByIdFollowsTheLanguage) {
  s::PoolPtr<s::lang::Localizer> localizer(s::lang::Localizer::fromResource(u"IDR_XML", 130));
  localizer->selectLanguage(u"English");
  window_->setLocalizer(localizer.get());
  Label* label = Label::newLabelId(s::lang::text::kSaveLogButton, 0, 0);
  EXPECT_EQ(label->getText(), u"");
  root_->add(label);
  const std::u16string english(localizer->englishText(s::lang::text::kSaveLogButton));
  EXPECT_FALSE(english.empty());
  EXPECT_EQ(label->getText(), english);
  localizer->selectLanguage(u"German");
  EXPECT_EQ(label->getText(), localizer->text(s::lang::text::kSaveLogButton));
  EXPECT_NE(label->getText(), english);
  // Removed (and so released), it no longer listens.
  root_->remove(label, true);
  localizer->selectLanguage(u"English");
  window_->setLocalizer(nullptr);
}

// Every presented pixel of a window, read on its thread.
std::vector<std::uint32_t> pixelsOf(Window& window) {
  std::vector<std::uint32_t> pixels;
  window.runSync([] {});
  window.runSync([&] {
    auto& screen = *dynamic_cast<OffscreenDisplay*>(window.display());
    for (int y = 0; y < window.getHeight(); ++y) {
      for (int x = 0; x < window.getWidth(); ++x) {
        pixels.push_back(screen.pixel(window.platformWindow(), x, y));
      }
    }
  });
  return pixels;
}

// A window like the fixture's showing a label and a button, made by `fill`.
template <class Fill>
s::PoolPtr<Window> windowWith(Fill fill) {
  s::PoolPtr<Window> window = Window::make();
  window->setBounds(0, 0, 300, 120);
  Box* root = Box::newBox(100, 100, 0, 0, 4, 4, 0, 0, s::gui::kLayoutHorizontal);
  root->setTransparent(false);
  window->add(root);
  window->show(false);
  fill(*root);
  return window;
}

TEST_F(WidgetsTest, ALanguageChangeRelabelsEveryComponentOfEveryWindow) {
  constexpr std::int32_t kLabelText = s::lang::text::kSaveLogButton;
  constexpr std::int32_t kButtonText = s::lang::text::kMenuExit;
  s::PoolPtr<s::lang::Localizer> localizer(s::lang::Localizer::fromResource(u"IDR_XML", 130));
  localizer->selectLanguage(u"English");
  auto byId = [](Box& root) {
    root.add(Label::newLabelId(kLabelText, 0, 0));
    root.add(Button::newButtonId(kButtonText, -1, 20));
  };
  window_->setLocalizer(localizer.get());
  window_->setTitleTextId(kButtonText);
  byId(*root_);
  // A second window, on its own thread, is given the localizer after its components.
  s::PoolPtr<Window> late = windowWith(byId);
  late->setLocalizer(localizer.get());
  const std::vector<std::uint32_t> english = pixelsOf(*window_);
  EXPECT_EQ(pixelsOf(*late), english);

  localizer->selectLanguage(u"German");
  const std::vector<std::uint32_t> german = pixelsOf(*window_);
  EXPECT_NE(german, english);
  EXPECT_EQ(pixelsOf(*late), german);
  // Exactly what a window shows that is given the German texts as they are: measured and laid
  // out again, not only repainted.
  s::PoolPtr<Window> literal = windowWith([&](Box& root) {
    root.add(Label::newLabel(localizer->text(kLabelText), false, 0));
    root.add(Button::newButtonText(localizer->text(kButtonText), -1, 20));
  });
  EXPECT_EQ(pixelsOf(*literal), german);
  std::u16string title;
  window_->runSync(
      [&] { title = std::u16string(window_->title().begin(), window_->title().end()); });
  EXPECT_EQ(title, localizer->text(kButtonText));
  window_->setLocalizer(nullptr);
  late->setLocalizer(nullptr);
}

TEST_F(WidgetsTest, ANonReleasableToggleIsPressedOnceAndThenLetsClicksThrough) {
  Button* tab = Button::newButtonText(u"Current", 60, 17);
  tab->setToggle(true, false, false, false);
  root_->add(tab);
  Recorder clicks;
  Recorder toggles;
  Recorder window;
  clicks.watched = toggles.watched = tab;
  tab->addClickListener(&clicks);
  tab->addToggledListener(&toggles);
  window_->addListener(s::gui::kWindowLeftPress, &window);
  settle();
  click(*tab);
  EXPECT_EQ(clicks.codes, std::vector<std::int32_t>{1});
  EXPECT_EQ(clicks.pressedThen, std::vector<bool>{false});
  EXPECT_EQ(toggles.codes, std::vector<std::int32_t>{2});
  EXPECT_EQ(toggles.pressedThen, std::vector<bool>{true});
  EXPECT_EQ(window.size(), 0U);
  click(*tab);
  click(*tab);
  EXPECT_EQ(clicks.size(), 1U);
  EXPECT_EQ(toggles.size(), 1U);
  EXPECT_EQ(window.size(), 2U);  // the window had them
  tab->setPressed(false);
  click(*tab);
  EXPECT_EQ(clicks.size(), 2U);
  EXPECT_TRUE(tab->isPressed());
}

TEST_F(WidgetsTest, AHeldAutoRepeatButtonRepeatsItsPressWhileHeldInside) {
  Button* button = Button::newButtonText(u"#Up", 18, 18);
  button->setAutoRepeat(true);
  root_->add(button);
  Recorder presses;
  button->addPressListener(&presses);
  settle();
  mouse(EventKind::kButtonPress, *button, 3, 3);
  EXPECT_EQ(presses.size(), 1U);  // at once
  EXPECT_TRUE(waitFor([&] { return presses.size() >= 4; }));
  mouse(EventKind::kButtonRelease, *button, 3, 3);
  const std::size_t held = presses.size();
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  EXPECT_EQ(presses.size(), held);
  // Held but outside: no repeats.
  mouse(EventKind::kButtonPress, *button, 3, 3);
  mouse(EventKind::kMotion, *button, 100, 80);
  const std::size_t outside = presses.size();
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  EXPECT_EQ(presses.size(), outside);
  mouse(EventKind::kButtonRelease, *button, 100, 80);
}

TEST_F(WidgetsTest, ASkinnedHashXButtonShowsTheGlyphAndXTheLetter) {
  window_->setSkin(skin(u"ThinWindow", u"Classic LG"), false);
  Button* glyph = Button::newButtonText(u"#X", 18, 18);
  Button* letter = Button::newButtonText(u"X", 18, 18);
  Button* plain = Button::newButtonText(u"#X", 18, 18);
  root_->add(glyph);
  root_->add(letter);
  settle();
  const auto g = glyph->clientBounds();
  const auto l = letter->clientBounds();
  // Face #747474 in a frame of #111111; the cross reaches the corners of its box.
  EXPECT_EQ(pixel(g.x + 9, g.y + 2), 0x747474U);
  EXPECT_EQ(pixel(g.x, g.y), 0x111111U);
  EXPECT_EQ(pixel(g.x + 5, g.y + 5), 0x111111U);
  EXPECT_EQ(pixel(g.x + 11, g.y + 5), 0x111111U);
  EXPECT_EQ(pixel(g.x + 11, g.y + 11), 0x111111U);
  EXPECT_NE(pixel(l.x + 5, l.y + 5), 0x111111U);
  int differ = 0;
  for (int y = 2; y < 16; ++y) {
    for (int x = 2; x < 16; ++x) {
      differ += pixel(g.x + x, g.y + y) != pixel(l.x + x, l.y + y) ? 1 : 0;
    }
  }
  EXPECT_GT(differ, 10);
  window_->runSync([&] { screen().writePng(window_->platformWindow(), "/tmp/netvigil-skin.png"); });
  plain->release();
}

TEST_F(WidgetsTest, TheCounterInModeOneDrawsTheBarOfTheCurrentPoint) {
  window_->setSkin(skin(u"ThinWindow", u"Classic LG"), false);
  Counter* counter = Counter::newCounter(-1, -1);
  counter->setFixedWidth(104, false);
  counter->setFixedHeight(14, false);
  counter->setInsets(2, 2, 2, 2);
  counter->setMode(1);
  auto* series = counter->getSeries1();
  series->setUnbounded(true);
  series->setScaleFloor(1024);
  series->prepare();
  root_->add(counter);
  settle();
  series->add(100);
  series->add(900);
  series->add(512);
  settle();
  const auto r = counter->clientBounds();
  auto length = [&] {
    int n = 0;
    while (n < 100 && pixel(r.x + 2 + n, r.y + 7) == 0xC3EA00U) {
      ++n;
    }
    return n;
  };
  EXPECT_EQ(pixel(r.x + 1, r.y + 7), 0x747474U);  // the window's surface around the graph
  EXPECT_EQ(length(), 50);
  series->add(2048);
  series->add(512);
  settle();
  EXPECT_EQ(length(), 25);
}

TEST_F(WidgetsTest, TheStatusBarHoldsFieldsAndAGripThatResizesTheWindow) {
  StatusBar* bar = StatusBar::newStatusBar();
  window_->removeAll(true);
  window_->setLayoutVertical();
  Box* top = Box::newBox(100, -1, 0, 0, 0, 0, 0, 0, s::gui::kLayoutHorizontal);
  top->setFixedHeight(90, false);
  bar->setFixedHeight(18, false);
  window_->add(top);
  window_->add(bar);
  Label* field = Label::newLabel(u"57 Connections", false, s::gui::win::Font::kSmallCode);
  bar->add(field);
  settle();
  EXPECT_EQ(field->getParent(), bar->getFieldsBox());
  const auto grip = bar->getGrip()->clientBounds();
  EXPECT_EQ(grip.width, 12);
  EXPECT_EQ(grip.x + grip.width, 300);
  EXPECT_EQ(grip.y + grip.height, 108);
  // Without a skin the grip draws its white dots with their shadows.
  EXPECT_EQ(pixel(grip.x + 9, grip.y + 9), 0xFFFFFFU);
  EXPECT_EQ(pixel(grip.x + 8, grip.y + 8), 0xB8B5A1U);
  mouse(EventKind::kButtonPress, *bar->getGrip(), 6, 6);
  mouse(EventKind::kMotion, *bar->getGrip(), 26, 16);
  mouse(EventKind::kButtonRelease, *bar->getGrip(), 26, 16);
  EXPECT_TRUE(waitFor([&] { return window_->getWidth() == 320; }));
  EXPECT_EQ(window_->getHeight(), 130);
}

}  // namespace

namespace {

TEST_F(WidgetsTest, KeysGoToTheFocusedButtonAndTabMovesTheFocusInTreeOrder) {
  Button* first = Button::newButtonText(u"One", 50, 20);
  Button* off = Button::newButtonText(u"Off", 50, 20);
  Box* inner = Box::newBox(-1, -1, 0, 0, 0, 0, 0, 0, s::gui::kLayoutVertical);
  Button* last = Button::newButtonText(u"Three", 50, 20);
  Button* grip = Button::newButtonText(u"#Resizer", 12, 12);
  root_->add(first);
  root_->add(off);
  root_->add(inner);
  inner->add(last);
  root_->add(grip);
  off->setEnabled(false);
  Recorder firstClicks;
  Recorder lastClicks;
  Recorder keys;
  first->addClickListener(&firstClicks);
  last->addClickListener(&lastClicks);
  window_->addListener(s::gui::kWindowKey, &keys);
  settle();
  auto key = [&](std::uint32_t keysym, std::uint32_t modifiers = 0) {
    Event e;
    e.kind = EventKind::kKeyPress;
    e.window = window_->platformWindow();
    e.keysym = keysym;
    e.modifiers = modifiers;
    screen().inject(e);
    settle();
  };
  constexpr std::uint32_t kTab = 0xFF09;
  constexpr std::uint32_t kLeftTab = 0xFE20;
  constexpr std::uint32_t kSpace = 0x20;
  constexpr std::uint32_t kReturn = 0xFF0D;
  const std::uint32_t shift = s::platform::ui::modifier::kShift;

  // Nothing has the focus yet: keys are the window's.
  key(kSpace);
  EXPECT_EQ(keys.size(), 1U);
  const auto r = first->clientBounds();
  auto cueRow = [&] {
    std::vector<std::uint32_t> row;
    for (int x = r.x; x < r.x + r.width; ++x) {
      row.push_back(pixel(x, r.y + 3));
    }
    return row;
  };
  const auto unfocused = cueRow();
  // The disabled button and the grip are no stops; the order wraps both ways.
  const struct {
    std::uint32_t keysym;
    std::uint32_t modifiers;
    Button* focused;
  } moves[] = {{kTab, 0, first},
               {kTab, 0, last},
               {kTab, 0, first},
               {kTab, shift, last},
               {kLeftTab, 0, first}};
  for (const auto& move : moves) {
    key(move.keysym, move.modifiers);
    EXPECT_TRUE(move.focused->hasFocus());
    EXPECT_FALSE(off->hasFocus() || grip->hasFocus());
  }
  EXPECT_NE(cueRow(), unfocused);  // the keyboard moved it, so the focus is drawn
  key(kSpace);
  key(kReturn);
  EXPECT_EQ(firstClicks.size(), 2U);
  key('q');
  key(kSpace, s::platform::ui::modifier::kControl);
  EXPECT_EQ(keys.size(), 3U);  // only what the button did not take; no Tab among them

  // A click moves the focus; a click on what cannot take it leaves it where it is.
  click(*last);
  EXPECT_TRUE(last->hasFocus());
  click(*off);
  EXPECT_TRUE(last->hasFocus());
  key(kSpace);
  EXPECT_EQ(lastClicks.size(), 2U);

  // A button in a branch hidden since takes no keys; a removed one takes the focus with it.
  inner->setVisible(false, false);
  key(kSpace);
  EXPECT_EQ(lastClicks.size(), 2U);
  EXPECT_EQ(keys.size(), 4U);
  mouse(EventKind::kMotion, *first, 3, 3);  // the pointer comes before it clicks
  click(*first);
  inner->setVisible(true, false);
  inner->remove(last, true);
  settle();
  key(kSpace);
  EXPECT_EQ(keys.size(), 4U);
  EXPECT_EQ(firstClicks.size(), 4U);  // the mouse's click and the key's
  root_->remove(first, true);
  settle();
  key(kSpace);
  EXPECT_EQ(keys.size(), 5U);
}

}  // namespace

namespace {

TEST_F(WidgetsTest, ThePointerTakesTheShapeTheComponentUnderItNames) {
  using Shape = s::platform::ui::PointerShape;
  Button* button = Button::newButtonText(u"Go", 40, 20);
  Button* through = Button::newButtonText(u"Tab", 40, 20);
  through->setClickable(false);
  Label* link = Label::newLabel(u"netvigil.example", false, 0);
  link->setLink(true);
  Box* field = Box::newBox(-1, -1, 0, 0, 0, 0, 4, 4, s::gui::kLayoutHorizontal);
  field->setCursor(Shape::kIBeam);
  Label* text = Label::newLabel(u"text", false, 0);
  field->add(text);
  Button* grip = Button::newButtonText(u"#Resizer", 12, 12);
  for (s::gui::IComponent* c :
       std::initializer_list<s::gui::IComponent*>{button, through, link, field, grip}) {
    root_->add(c);
  }
  settle();
  auto shown = [&] {
    Shape shape = Shape::kInherit;
    window_->runSync([&] { shape = screen().state(window_->platformWindow())->cursor; });
    return shape;
  };
  EXPECT_EQ(shown(), Shape::kArrow);  // before the pointer came
  const struct {
    s::gui::win::Component* over;
    int dx;
    int dy;
    Shape shape;
  } cases[] = {
      {button, 3, 3, Shape::kHand},
      {through, 3, 3, Shape::kArrow},  // what lies beneath names none
      {link, 3, 3, Shape::kHand},
      {text, 1, 1, Shape::kIBeam},  // the box's, which its label leaves to it
      {field, 1, 1, Shape::kIBeam},
      {grip, 6, 6, Shape::kSizeBottomRight},
      {root_, 290, 110, Shape::kArrow},
  };
  for (const auto& c : cases) {
    mouse(EventKind::kMotion, *c.over, c.dx, c.dy);
    EXPECT_EQ(shown(), c.shape) << c.over->className().size() << " at " << c.dx;
  }
  // A held grip keeps its shape wherever the drag goes; the release gives the pointer back.
  mouse(EventKind::kMotion, *grip, 6, 6);
  mouse(EventKind::kButtonPress, *grip, 6, 6);
  mouse(EventKind::kMotion, *button, 3, 3);
  EXPECT_EQ(shown(), Shape::kSizeBottomRight);
  mouse(EventKind::kButtonRelease, *button, 3, 3);
  EXPECT_EQ(shown(), Shape::kHand);
}

}  // namespace

namespace {

TEST_F(WidgetsTest, APressThatLosesThePointerSendsCaptureLostOnceAndEndsTheButtonsPress) {
  Button* button = Button::newButtonText(u"#Up", 18, 18);
  button->setAutoRepeat(true);
  root_->add(button);
  Recorder clicks;
  Recorder presses;
  Recorder lost;
  button->addClickListener(&clicks);
  button->addPressListener(&presses);
  window_->addListener(s::gui::kWindowCaptureLost, &lost);
  settle();
  const auto id = window_->platformWindow();
  const struct {
    const char* cause;
    std::function<void()> take;
  } causes[] = {
      {"focus out", [&] { screen().inject({.kind = EventKind::kFocusOut, .window = id}); }},
      {"hidden", [&] { window_->hide(); }},
      {"a pop-up's grab",
       [&] {
         window_->runSync([&] {
           const auto popup = screen().createWindow(
               {.kind = s::platform::ui::WindowKind::kPopup, .bounds = {0, 0, 50, 50}});
           screen().grabPointer(popup);
           screen().ungrabPointer();
           screen().destroyWindow(popup);
         });
       }},
  };
  for (const auto& cause : causes) {
    SCOPED_TRACE(cause.cause);
    window_->show(false);
    lost.codes.clear();
    clicks.codes.clear();
    mouse(EventKind::kButtonPress, *button, 3, 3);
    EXPECT_EQ(button->getHotState(), 2);
    cause.take();
    settle();
    // A second loss, and the release that arrives after all, change nothing.
    screen().inject({.kind = EventKind::kFocusOut, .window = id});
    mouse(EventKind::kButtonRelease, *button, 3, 3);
    EXPECT_EQ(lost.codes, std::vector<std::int32_t>{s::gui::kWindowCaptureLost});
    EXPECT_EQ(button->getHotState(), 0);  // no longer held
    EXPECT_TRUE(clicks.codes.empty());
  }
  // The held button stopped repeating when it lost the pointer.
  const std::size_t pressed = presses.size();
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  EXPECT_EQ(presses.size(), pressed);
  // Without a press held, nothing is lost; a press and its release lose nothing either.
  lost.codes.clear();
  screen().inject({.kind = EventKind::kFocusOut, .window = id});
  click(*button);
  settle();
  EXPECT_TRUE(lost.codes.empty());
  EXPECT_EQ(clicks.size(), 1U);
}

}  // namespace

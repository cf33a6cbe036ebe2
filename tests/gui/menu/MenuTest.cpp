#include <gtest/gtest.h>

#include <vector>

#include "framework/lang/Localizer.h"
#include "framework/lang/TextIds.h"
#include "gui/menu/MenuPlacement.h"
#include "gui/menu/PopupMenu.h"

namespace {

using s::PoolPtr;
using s::gui::drawer::MenuMark;
using s::gui::menuitem::MenuItem;
using s::gui::win::MenuSide;
using s::gui::win::PopupMenu;
using s::platform::ui::Rect;

PoolPtr<PopupMenu> threeItems() {
  PoolPtr<PopupMenu> menu = PopupMenu::make();
  menu->add(MenuItem::newMenuItemText(u"One", 10));
  menu->add(MenuItem::newMenuItemText(u"Two", 11));
  menu->add(MenuItem::newMenuItemText(u"Three", 12));
  return menu;
}

// checkRadioAt marks one entry (or none for -1) and leaves each item's flag telling whether
// it is the marked one; a position outside the menu changes nothing.
TEST(PopupMenu, CheckRadioAtMarksOneEntryOrNone) {
  struct Case {
    std::int32_t position;
    bool answer;
    std::vector<bool> checked;
  };
  const Case cases[] = {
      {0, true, {true, false, false}},   {2, true, {false, false, true}},
      {-1, true, {false, false, false}}, {3, false, {false, true, false}},
      {-2, false, {false, true, false}},
  };
  for (const Case& c : cases) {
    PoolPtr<PopupMenu> menu = threeItems();
    ASSERT_TRUE(menu->checkRadioAt(1));
    EXPECT_EQ(menu->checkRadioAt(c.position), c.answer) << c.position;
    for (std::uint32_t i = 0; i < 3; ++i) {
      EXPECT_EQ(menu->isChecked(10 + static_cast<std::int32_t>(i)), c.checked[i])
          << c.position << " item " << i;
      EXPECT_EQ(menu->entryAt(i).mark, c.checked[i] ? MenuMark::kRadio : MenuMark::kNone);
    }
  }
  PoolPtr<PopupMenu> menu = threeItems();
  EXPECT_TRUE(menu->checkRadioCommand(12));
  EXPECT_TRUE(menu->isChecked(12));
  EXPECT_FALSE(menu->checkRadio(0, 2, 1));
}

// Every operation that names a command no item has answers false and changes nothing; the
// same operations find commands in sub-menus.
TEST(PopupMenu, UnknownCommandsFailAndSubMenusAreSearched) {
  PoolPtr<PopupMenu> menu = threeItems();
  PoolPtr<PopupMenu> sub = PopupMenu::make();
  sub->setName(u"More");
  sub->add(MenuItem::newMenuItemText(u"Deep", 40));
  menu->addSubMenu(std::move(sub));
  EXPECT_FALSE(menu->setEnabled(99, false));
  EXPECT_FALSE(menu->setChecked(99, true));
  EXPECT_FALSE(menu->setText(99, u"x"));
  EXPECT_FALSE(menu->setTextId(99, 1));
  EXPECT_FALSE(menu->removeCommand(99));
  EXPECT_FALSE(menu->isChecked(99));
  EXPECT_FALSE(menu->containsCommand(99));
  EXPECT_FALSE(menu->containsCommand(-1));
  EXPECT_EQ(menu->findItem(99), nullptr);
  EXPECT_FALSE(menu->removeAt(4));
  EXPECT_FALSE(menu->checkRadioCommand(99));
  EXPECT_EQ(menu->count(), 4u);

  EXPECT_TRUE(menu->containsCommand(40));
  EXPECT_TRUE(menu->setChecked(40, true));
  EXPECT_TRUE(menu->isChecked(40));
  EXPECT_TRUE(menu->setEnabled(40, false));
  EXPECT_EQ(menu->entryAt(3).text, u"More");
  // Positions count items and sub-menus together: removing the sub-menu's entry releases it.
  EXPECT_TRUE(menu->removeAt(3));
  EXPECT_FALSE(menu->containsCommand(40));
  EXPECT_TRUE(menu->removeCommand(11));
  EXPECT_EQ(menu->entryAt(1).text, u"Three");
}

TEST(PopupMenu, DispatchKeepsTheCommandAndTellsTheListenersInOrder) {
  struct Listener : s::gui::events::IEventListener {
    std::vector<std::int32_t>* log;
    std::int32_t tag;
    void onEvent(s::IObject* source, std::int32_t code) override {
      log->push_back(tag * 1000 + static_cast<PopupMenu*>(source)->getLastCommand() + code);
    }
  };
  std::vector<std::int32_t> log;
  Listener first;
  first.log = &log;
  first.tag = 1;
  Listener second;
  second.log = &log;
  second.tag = 2;
  PoolPtr<PopupMenu> menu = threeItems();
  menu->addListener(&first);
  menu->addListener(&second);
  menu->dispatch(11);
  EXPECT_EQ(log, (std::vector<std::int32_t>{1011, 2011}));
}

// After a change of language the items with a text id and the sub-menus named by id show the
// new texts; literal texts stay.
TEST(PopupMenu, RetextsAfterALanguageChangeAndKeepsLiteralTexts) {
  PoolPtr<s::lang::Localizer> localizer(s::lang::Localizer::fromResource(u"IDR_XML", 130));
  localizer->selectLanguage(u"English");
  constexpr std::int32_t kExit = s::lang::text::kMenuExit;
  const std::u16string english(localizer->text(kExit));
  ASSERT_FALSE(english.empty());
  PoolPtr<PopupMenu> menu = PopupMenu::make();
  menu->setLocalizer(localizer.get());
  menu->add(MenuItem::newMenuItem(kExit, localizer.get(), 1, false));
  menu->add(MenuItem::newMenuItemText(u"Classic LG", 200));
  PoolPtr<PopupMenu> sub = PopupMenu::make();
  sub->setNameTextId(kExit);
  menu->addSubMenu(std::move(sub));
  EXPECT_EQ(menu->entryAt(0).text, english);

  localizer->selectLanguage(u"German");
  const std::u16string german(localizer->text(kExit));
  ASSERT_NE(german, english);
  EXPECT_EQ(menu->entryAt(0).text, german);
  EXPECT_EQ(menu->entryAt(1).text, u"Classic LG");
  EXPECT_EQ(menu->entryAt(2).text, german);
  localizer->selectLanguage(u"English");
  menu.reset();
}

// A pop-up stays on the monitor it opens on: it flips to the other side of its anchor where it
// fits there, and is shifted back onto the monitor otherwise; monitors side by side keep apart.
TEST(MenuPlacement, FlipsOrShiftsAtTheMonitorsEdges) {
  const std::vector<Rect> two{{0, 0, 1000, 800}, {1000, 0, 800, 600}};
  struct Case {
    const char* what;
    Rect anchor;
    MenuSide side;
    Rect beside;
    Rect expected;
  };
  const Case cases[] = {
      {"room below", {100, 100, 0, 0}, MenuSide::kBelow, {}, {100, 100, 200, 300}},
      {"flips above", {100, 700, 0, 0}, MenuSide::kBelow, {}, {100, 400, 200, 300}},
      {"shifted left", {950, 100, 0, 0}, MenuSide::kBelow, {}, {800, 100, 200, 300}},
      {"second monitor", {1700, 100, 0, 0}, MenuSide::kBelow, {}, {1600, 100, 200, 300}},
      {"bar title", {100, 0, 60, 20}, MenuSide::kBelow, {}, {100, 20, 200, 300}},
      {"above the tray", {1500, 590, 0, 0}, MenuSide::kAbove, {}, {1500, 290, 200, 300}},
      {"above flips below", {100, 100, 0, 0}, MenuSide::kAbove, {}, {100, 100, 200, 300}},
      {"sub-menu right",
       {300, 50, 190, 20},
       MenuSide::kBeside,
       {290, 48, 200, 100},
       {490, 50, 200, 300}},
      {"sub-menu flips left",
       {790, 50, 190, 20},
       MenuSide::kBeside,
       {790, 48, 200, 100},
       {590, 50, 200, 300}},
      {"tall menu shifted up",
       {100, 600, 190, 20},
       MenuSide::kBeside,
       {90, 0, 200, 700},
       {290, 500, 200, 300}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(s::gui::win::placeMenu(200, 300, c.anchor, c.side, c.beside, two), c.expected)
        << c.what;
  }
}

}  // namespace

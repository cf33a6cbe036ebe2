#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/base/MaybeOwned.h"
#include "framework/base/Pooled.h"
#include "gui/drawer/IMenu.h"
#include "gui/drawer/menu/Basic.h"
#include "gui/layout/Component.h"
#include "gui/layout/IMenuBar.h"
#include "gui/layout/ListenerList.h"
#include "gui/menu/MenuItem.h"
#include "gui/menu/PopupMenu.h"
#include "gui/widgets/Font.h"

namespace s::gui::win {

namespace detail {
class MenuExBases : public Component, public IMenuBar {};
}  // namespace detail

// The menu bar: a row of titles drawn by the menu drawer, each either a command by itself or
// the title of a pop-up menu that drops from it. Moving the mouse along the bar while a menu is
// open switches to the title reached; a second click on the title within half a second of its
// menu closing leaves it closed. The part of the bar outside every title lets presses through
// to the window (which is then dragged by it). It owns its items and menus.
class MenuEx final : public Pooled<MenuEx, detail::MenuExBases> {
 public:
  using MenuItem = menuitem::MenuItem;
  // What the open listeners hear just before a pop-up opens (so that its owner can check and
  // enable its items); the item listeners hear 0 for an item entry chosen.
  static constexpr std::int32_t kEventOpening = 1;
  static constexpr std::chrono::milliseconds kReopenGuard{500};

  enum class EntryKind : std::uint8_t { kItem, kMenu };

  MenuEx();
  ~MenuEx() override;

  void addItem(PoolPtr<MenuItem> item);
  void addMenu(PoolPtr<PopupMenu> menu);
  std::uint32_t entryCount() const { return static_cast<std::uint32_t>(entries_.size()); }
  EntryKind entryKind(std::uint32_t index) const { return entries_[index].kind; }
  PopupMenu* menuAt(std::uint32_t index) const { return entries_[index].menu.get(); }
  std::u16string titleAt(std::uint32_t index) const;
  // Where each title lies in the bar (the bar's coordinates), as it is painted.
  platform::ui::Rect titleRect(std::uint32_t index) const;
  // The title under (x, y), -1 for none.
  std::int32_t entryAt(std::int32_t x, std::int32_t y) const;

  bool containsCommand(std::int32_t commandId) const override;
  bool isChecked(std::int32_t commandId) const;
  bool setChecked(std::int32_t commandId, bool checked);
  MenuItem* getLastItem() const { return lastItem_; }
  void addItemListener(events::IEventListener* listener) { itemListeners_.add(listener); }
  void dispatch(std::int32_t commandId) override;
  void addOpenListener(events::IEventListener* listener) { openListeners_.add(listener); }
  void setDrawer(drawer::IMenu* drawer, bool owned);
  void setSizeCode(std::int32_t code);
  void setBold(bool bold);
  void setFace(std::u16string_view face);
  void setTitleColour(drawer::Rgb colour);
  void setHotColour(drawer::Rgb colour);
  // The gap before the first title and the room on either side of each title's text.
  void setSpacing(std::int32_t lead, std::int32_t padding);
  void setRightAlignLast(bool rightAlign);
  void setWholeBarOneEntry(bool whole);
  void setFixedHeight(std::int32_t px);
  void setWidthPercent(std::int32_t percent);

  std::int32_t getHotEntry() const { return hotEntry_; }
  bool isPopupOpen() const { return popupOpen_; }

  void onEvent(IObject* source, std::int32_t code) override;
  void paint(cairo_t* cr) override;
  bool handleInput(const platform::ui::Event& event, std::int32_t x, std::int32_t y) override;
  bool handleKey(const platform::ui::Event& event) override;
  void captureLost() override { pressed_ = false; }
  // Opens the pop-up of title `index` from the keyboard (F10 and Alt open the first).
  void openMenu(std::uint32_t index);
  void openFromKeyboard() override { openMenu(0); }

  void reset() override;
  std::u16string_view className() const override { return u"s_gui_win_MenuEx"; }

 private:
  struct Entry {
    EntryKind kind = EntryKind::kItem;
    PoolPtr<MenuItem> item;
    PoolPtr<PopupMenu> menu;
  };

  drawer::IMenu& menuDrawer();
  void measure();
  std::vector<platform::ui::Rect> layoutTitles() const;
  void setHot(std::int32_t entry);
  std::int32_t nextMenuEntry(std::int32_t from, std::int32_t step) const;
  void runPopups(std::int32_t entry);

  std::vector<Entry> entries_;
  std::int32_t hotEntry_ = -1;
  bool popupOpen_ = false;
  bool pressed_ = false;
  std::chrono::steady_clock::time_point lastClosed_{};
  MenuItem* lastItem_ = nullptr;
  // Held by value, not taken from their pools, which may go first at exit.
  Font normal_;
  Font hot_;
  std::int32_t lead_ = 4;
  std::int32_t padding_ = 8;
  bool rightAlignLast_ = false;
  bool wholeBarOneEntry_ = false;
  MaybeOwned<drawer::IMenu> drawer_;
  drawer::menu::win::Basic basic_;
  events::ListenerList itemListeners_;
  events::ListenerList openListeners_;
};

}  // namespace s::gui::win

#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/base/Pooled.h"
#include "gui/drawer/IMenu.h"
#include "gui/layout/IPopupMenu.h"
#include "gui/layout/ListenerList.h"
#include "gui/menu/MenuItem.h"
#include "gui/menu/MenuPlacement.h"
#include "platform/ui/Event.h"
#include "platform/ui/Rect.h"

namespace s::lang {
class Localizer;
}

namespace s::gui::win {

class Window;

namespace detail {
class PopupMenuBases : public IPopupMenu, public IObject, public IPoolable {};
}  // namespace detail

// A pop-up menu: entries (items and sub-menus, in the order they were added, sharing one run of
// positions), their shown state (text, enabled, check or radio mark), listeners and the last
// command. It owns its items and sub-menus.
//
// Operations naming a command that no item has answer false and change nothing. Used on the
// owning window's thread; tracking runs a nested loop there until the menu closes.
class PopupMenu final : public Pooled<PopupMenu, detail::PopupMenuBases> {
 public:
  using MenuItem = menuitem::MenuItem;

  // Why tracking ended.
  enum class Closed : std::uint8_t {
    kChosen,     // an entry was chosen
    kCancelled,  // Escape, a click outside, the grab taken by another program
    kSwitched,   // the opener's motion hook asked for it (the menu bar moving to another title)
  };
  struct TrackOptions {
    // Screen coordinates: a point (empty rectangle) or the menu bar title the menu drops from.
    platform::ui::Rect anchor;
    MenuSide side = MenuSide::kBelow;
    // Pointer motion over the owner window while the menu is open: true closes the menu with
    // kSwitched.
    std::function<bool(const platform::ui::Event&)> ownerMotion;
    // Keys the menu does not use (Left and Right on the top level, for the menu bar): true
    // closes the menu with kSwitched.
    std::function<bool(std::uint32_t keysym)> ownerKey;
  };
  struct TrackResult {
    std::int32_t command = -1;
    Closed closed = Closed::kCancelled;
  };

  PopupMenu() = default;
  ~PopupMenu() override;

  void onEvent(IObject* source, std::int32_t code) override;
  void add(PoolPtr<MenuItem> item);
  void insert(std::uint32_t position, PoolPtr<MenuItem> item);
  void removeAll();
  bool removeAt(std::uint32_t position);
  bool removeCommand(std::int32_t commandId);
  MenuItem* findItem(std::int32_t commandId) const;
  bool containsCommand(std::int32_t commandId) const override;
  bool indexOfCommand(std::int32_t commandId, std::uint32_t& index) const;
  bool setSubMenuEnabled(const PopupMenu* subMenu, bool enabled);
  bool setEnabled(std::int32_t commandId, bool enabled);
  bool isEnabledAt(std::uint32_t position) const;
  void addSubMenu(PoolPtr<PopupMenu> menu);
  void setLocalizer(lang::Localizer* localizer);
  lang::Localizer* getLocalizer() const { return localizer_; }
  bool isChecked(std::int32_t commandId) const;
  bool setChecked(std::int32_t commandId, bool checked);
  bool setText(std::int32_t commandId, std::u16string_view text);
  bool setTextId(std::int32_t commandId, std::int32_t textId);
  void retextAll();
  std::u16string getName() const;
  void setNameTextId(std::int32_t textId);
  void setName(std::u16string_view text);
  // Marks the entry at checkPosition with the radio dot within [first, last] and sets each
  // item's checked flag in that range to whether it is the marked one. False for a range
  // outside the menu.
  bool checkRadio(std::int32_t checkPosition, std::int32_t firstPosition,
                  std::int32_t lastPosition);
  // The same over all entries; -1 marks none and clears every item's flag.
  bool checkRadioAt(std::int32_t position);
  bool checkRadioCommand(std::int32_t commandId);
  std::int32_t getLastCommand() const { return lastCommand_; }
  void addListener(events::IEventListener* listener) { listeners_.add(listener); }
  void dispatch(std::int32_t commandId) override;
  std::int32_t track(int x, int y, IWindow& owner) override;
  std::int32_t trackBottomAligned(int x, int y, IWindow& owner) override;
  TrackResult trackWith(const TrackOptions& options, Window& owner);
  std::uint32_t count() const { return static_cast<std::uint32_t>(entries_.size()); }

  // What the tracking window shows of entry `position`.
  struct EntryView {
    std::u16string text;
    bool separator = false;
    bool enabled = true;
    drawer::MenuMark mark = drawer::MenuMark::kNone;
    PopupMenu* subMenu = nullptr;
    std::int32_t commandId = -1;
  };
  EntryView entryAt(std::uint32_t position) const;

  void reset() override;
  std::u16string_view className() const override { return u"s_gui_win_PopupMenu"; }

 private:
  struct Entry {
    PoolPtr<MenuItem> item;
    PoolPtr<PopupMenu> subMenu;
    bool enabled = true;
    bool checked = false;  // the shown mark
    bool radio = false;    // the mark is a radio dot
  };

  Entry makeEntry(PoolPtr<MenuItem> item) const;
  // The entry holding the command, searching sub-menus too; null when none does.
  Entry* findEntry(std::int32_t commandId);
  const Entry* findEntry(std::int32_t commandId) const;
  PopupMenu* ownerOf(std::int32_t commandId);

  lang::Localizer* localizer_ = nullptr;
  std::u16string name_;
  std::int32_t nameTextId_ = -1;
  std::vector<Entry> entries_;
  events::ListenerList listeners_;
  std::int32_t lastCommand_ = -1;
};

}  // namespace s::gui::win

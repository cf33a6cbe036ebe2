#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "gui/drawer/menu/Basic.h"
#include "gui/menu/PopupMenu.h"
#include "platform/ui/IDisplay.h"
#include "platform/ui/IEventSink.h"

namespace s::gui::win {

// One pop-up menu on the screen while it is tracked: our own override-redirect windows (the
// menu and the sub-menus opened from it), drawn by the skin's menu drawer, holding the pointer
// and the keyboard. run() is the nested loop on the owner's thread; the owner keeps painting
// and serving other threads meanwhile, its input goes to the menu.
//
// Keys: Up and Down move among the entries that can be chosen, Right opens a sub-menu, Left
// and Escape close one (Escape on the first menu closes it), Enter and Space choose. A click
// outside the menus closes them; a click on the owner window reaches it afterwards.
class MenuTracker final : public platform::ui::IEventSink {
 public:
  // The timer that retries the grab while another program still holds the pointer (the tray
  // host that sent the click).
  static constexpr std::uint32_t kGrabRetryTimer = 0x7F000001;

  MenuTracker(Window& owner, PopupMenu& menu, const PopupMenu::TrackOptions& options);
  ~MenuTracker() override;
  MenuTracker(const MenuTracker&) = delete;
  MenuTracker& operator=(const MenuTracker&) = delete;

  PopupMenu::TrackResult run();
  void onPlatformEvent(const platform::ui::Event& event) override;

 private:
  struct Level {
    PopupMenu* menu = nullptr;
    platform::ui::WindowId id = 0;
    platform::ui::Rect bounds;             // on the screen
    std::vector<platform::ui::Rect> rows;  // in the window
    std::int32_t hot = -1;
  };

  bool open(PopupMenu& menu, const platform::ui::Rect& anchor, MenuSide side,
            const platform::ui::Rect& beside);
  void closeAbove(std::size_t depth);
  void paint(const Level& level);
  drawer::IMenu& menuDrawer();
  // The deepest open menu under the screen point, and its row there (-1 for none).
  std::optional<std::size_t> levelAt(std::int32_t rootX, std::int32_t rootY) const;
  std::int32_t rowAt(const Level& level, std::int32_t rootX, std::int32_t rootY) const;
  bool choosable(const Level& level, std::int32_t row) const;
  void setHot(std::size_t depth, std::int32_t row);
  void openSubMenu(std::size_t depth);
  void choose(std::size_t depth, std::int32_t row);
  void moveHot(std::int32_t step);
  void handlePointer(const platform::ui::Event& event);
  void handleKey(const platform::ui::Event& event);
  void finish(PopupMenu::Closed closed, std::int32_t command);
  bool isOurs(platform::ui::WindowId window) const;

  Window& owner_;
  platform::ui::IDisplay& display_;
  PopupMenu& menu_;
  const PopupMenu::TrackOptions& options_;
  std::vector<platform::ui::Rect> monitors_;
  std::vector<Level> levels_;
  drawer::menu::win::Basic basic_;
  bool grabbed_ = false;
  int grabTries_ = 0;
  bool armed_ = false;
  std::int32_t startX_ = 0;
  std::int32_t startY_ = 0;
  bool done_ = false;
  PopupMenu::TrackResult result_;
  // A press on the owner window that closed the menu, handed to the owner afterwards.
  std::optional<platform::ui::Event> passOn_;
};

}  // namespace s::gui::win

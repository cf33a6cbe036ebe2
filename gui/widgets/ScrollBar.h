#pragma once

#include <cstdint>
#include <string_view>

#include "framework/base/MaybeOwned.h"
#include "framework/base/Pooled.h"
#include "gui/drawer/IScrollBar.h"
#include "gui/drawer/scrollbar/Basic.h"
#include "gui/layout/Component.h"
#include "gui/layout/ListenerList.h"
#include "gui/widgets/ScrollGeometry.h"
#include "gui/widgets/ScrollInfo.h"

namespace s::gui::win {

// A scroll bar drawn by the skin's scroll-bar drawer. A press on an arrow moves the position
// 60 pixels back or forward, on the track beside the thumb by a page, and repeats (after
// 500 ms, then every 100 ms) the action of the part then under the pointer while the button is
// held; the thumb is dragged. Each change of position goes to the scroll listeners (event 1),
// which may set the bar's figures again (a list snaps to whole rows).
class ScrollBar final : public Pooled<ScrollBar, Component> {
 public:
  using Orientation = scrollbar::win::Orientation;
  using ScrollInfo = scrollbar::win::ScrollInfo;
  using ScrollPart = scrollbar::win::ScrollPart;

  static constexpr std::int32_t kEventScrolled = 1;
  static constexpr std::int32_t kThickness = 16;
  static constexpr std::int32_t kArrowStep = 60;
  static constexpr std::int32_t kWheelLines = 3;
  static constexpr std::uint32_t kRepeatDelayTimer = 1;
  static constexpr std::uint32_t kRepeatTimer = 2;
  static constexpr std::uint32_t kRepeatDelayMs = 500;
  static constexpr std::uint32_t kRepeatMs = 100;

  ScrollBar();

  // A bar of the full length of its parent, kThickness across.
  static ScrollBar* newScrollBar(Orientation orientation);

  Orientation orientation() const { return info_.orientation; }
  void setOrientation(Orientation orientation);
  const ScrollInfo& info() const { return info_; }
  // The owner's figures; the position is kept within the range. Repaints when they change.
  void setInfo(std::int32_t page, std::int32_t total, std::int32_t position, std::int32_t line);
  // Shown at its thickness, or hidden and taking no room in its row or column.
  void setShown(bool shown);
  // Moves the position as the user would, then tells the listeners.
  void scrollTo(std::int32_t position);
  void addScrollListener(events::IEventListener* listener) { listeners_.add(listener); }
  // The part under the pointer, and whether it is held down.
  ScrollPart hotPart() const { return hot_; }
  bool isHeld() const { return held_ != ScrollPart::kNone; }
  scrollbar::win::ScrollGeometry geometry() const;
  // A drawer of the caller's (owned: released with the bar) instead of the skin's.
  void setDrawer(drawer::IScrollBar* drawer, bool owned);

  void paint(cairo_t* cr) override;
  bool handleInput(const platform::ui::Event& event, std::int32_t x, std::int32_t y) override;
  void captureLost() override;

  void reset() override;
  std::u16string_view className() const override { return u"s_gui_win_ScrollBar"; }

 protected:
  void destroyPlatform() override;

 private:
  drawer::IScrollBar* barDrawer();
  std::int32_t along(std::int32_t x, std::int32_t y) const { return vertical() ? y : x; }
  bool vertical() const { return info_.orientation == Orientation::kVertical; }
  platform::ui::Rect partRect(const scrollbar::win::ScrollGeometry& g, ScrollPart part) const;
  // The action of an arrow or the track; nothing for the thumb.
  void act(ScrollPart part);
  void repeatTick(std::uint32_t id);
  void endPress();
  void setHot(ScrollPart part);

  ScrollInfo info_;
  MaybeOwned<drawer::IScrollBar> drawer_;
  // Held by value, not taken from its pool, which may go first at exit.
  drawer::scrollbar::win::Basic basic_;
  events::ListenerList listeners_;
  ScrollPart hot_ = ScrollPart::kNone;
  ScrollPart held_ = ScrollPart::kNone;
  // The part under the pointer while the button is held (what a repeat acts on).
  ScrollPart under_ = ScrollPart::kNone;
  // The thumb drag: where it began along the bar, the position then and the geometry then.
  std::int32_t dragFrom_ = 0;
  std::int32_t dragStartPosition_ = 0;
  scrollbar::win::ScrollGeometry dragGeometry_;
};

}  // namespace s::gui::win

#include "gui/widgets/ScrollBar.h"

#include "gui/widgets/Skinned.h"

namespace s::gui::win {

using platform::ui::Event;
using platform::ui::EventKind;
using platform::ui::Rect;
using scrollbar::win::ScrollGeometry;

ScrollBar::ScrollBar() {
  setTransparent(false);
}

ScrollBar* ScrollBar::newScrollBar(Orientation orientation) {
  ScrollBar* bar = take();
  bar->setOrientation(orientation);
  return bar;
}

void ScrollBar::reset() {
  Component::reset();
  setTransparent(false);
  info_ = {};
  drawer_.reset();
  listeners_.clear();
  hot_ = held_ = under_ = ScrollPart::kNone;
  dragFrom_ = dragStartPosition_ = 0;
  dragGeometry_ = {};
}

void ScrollBar::setOrientation(Orientation orientation) {
  runSync([&] {
    info_.orientation = orientation;
    if (vertical()) {
      setWidthPercentValue(-1);
      setFixedWidthValue(kThickness);
      setFixedHeightValue(-1);
      setHeightPercentValue(100);
    } else {
      setHeightPercentValue(-1);
      setFixedHeightValue(kThickness);
      setFixedWidthValue(-1);
      setWidthPercentValue(100);
    }
    relayoutParent();
    invalidate();
  });
}

void ScrollBar::setInfo(std::int32_t page, std::int32_t total, std::int32_t position,
                        std::int32_t line) {
  runSync([&] {
    ScrollInfo next = info_;
    next.page = page;
    next.total = total;
    next.line = line > 0 ? line : 1;
    next.position = next.clamped(position);
    next.needed = page < total;
    const bool changed =
        next.page != info_.page || next.total != info_.total || next.position != info_.position;
    info_ = next;
    if (changed) {
      invalidate();
    }
  });
}

void ScrollBar::setShown(bool shown) {
  runSync([&] {
    if (shown == wantsVisible()) {
      return;
    }
    // Hidden, it takes no room: its row or column gives the list the space.
    if (vertical()) {
      setFixedWidthValue(shown ? kThickness : 0);
    } else {
      setFixedHeightValue(shown ? kThickness : 0);
    }
    setVisible(shown, false);
    if (!shown) {
      endPress();
    }
  });
}

void ScrollBar::setDrawer(drawer::IScrollBar* drawer, bool owned) {
  runSync([&] {
    drawer_.set(drawer, owned);
    invalidate();
  });
}

drawer::IScrollBar* ScrollBar::barDrawer() {
  if (drawer_.get() != nullptr) {
    return drawer_.get();
  }
  drawer::ISkin* skin = skinOf(*this);
  if (skin != nullptr && skin->getScrollBar() != nullptr) {
    return skin->getScrollBar();
  }
  return &basic_;
}

ScrollGeometry ScrollBar::geometry() const {
  return vertical() ? ScrollGeometry::of(getHeight(), getWidth(), info_)
                    : ScrollGeometry::of(getWidth(), getHeight(), info_);
}

Rect ScrollBar::partRect(const ScrollGeometry& g, ScrollPart part) const {
  std::int32_t start = 0;
  std::int32_t size = 0;
  g.span(part, start, size);
  return vertical() ? Rect{0, start, getWidth(), size} : Rect{start, 0, size, getHeight()};
}

void ScrollBar::paint(cairo_t* cr) {
  drawer::IScrollBar* drawer = barDrawer();
  const ScrollGeometry g = geometry();
  auto state = [&](ScrollPart part) {
    return held_ == part ? 2 : (hot_ == part && held_ == ScrollPart::kNone ? 1 : 0);
  };
  const Rect track = vertical() ? Rect{0, g.thickness, getWidth(), g.track}
                                : Rect{g.thickness, 0, g.track, getHeight()};
  drawer->paintTrack(cr, track, vertical());
  if (g.hasThumb) {
    drawer->paintThumb(cr, partRect(g, ScrollPart::kThumb), vertical(), state(ScrollPart::kThumb));
  }
  drawer->paintArrow(cr, partRect(g, ScrollPart::kFirstArrow), vertical() ? u"#Up" : u"#Left",
                     state(ScrollPart::kFirstArrow));
  drawer->paintArrow(cr, partRect(g, ScrollPart::kSecondArrow), vertical() ? u"#Down" : u"#Right",
                     state(ScrollPart::kSecondArrow));
}

void ScrollBar::scrollTo(std::int32_t position) {
  const std::int32_t next = info_.clamped(position);
  if (next == info_.position) {
    return;
  }
  info_.position = next;
  invalidate();
  listeners_.fire(this, kEventScrolled);
}

void ScrollBar::act(ScrollPart part) {
  switch (part) {
    case ScrollPart::kFirstArrow:
      scrollTo(info_.position - kArrowStep);
      break;
    case ScrollPart::kSecondArrow:
      scrollTo(info_.position + kArrowStep);
      break;
    case ScrollPart::kTrackBefore:
      scrollTo(info_.position - info_.page);
      break;
    case ScrollPart::kTrackAfter:
      scrollTo(info_.position + info_.page);
      break;
    case ScrollPart::kThumb:
    case ScrollPart::kNone:
      break;
  }
}

void ScrollBar::repeatTick(std::uint32_t id) {
  Window* window = windowOf(*this);
  if (window == nullptr || held_ == ScrollPart::kNone || held_ == ScrollPart::kThumb) {
    return;
  }
  if (id == kRepeatDelayTimer) {
    window->killComponentTimer(this, kRepeatDelayTimer);
    window->setComponentTimer(this, kRepeatTimer, kRepeatMs, [this] { repeatTick(kRepeatTimer); });
  }
  act(under_);
}

void ScrollBar::setHot(ScrollPart part) {
  if (hot_ != part) {
    hot_ = part;
    invalidate();
  }
}

void ScrollBar::endPress() {
  if (Window* window = windowOf(*this)) {
    window->killComponentTimer(this, kRepeatDelayTimer);
    window->killComponentTimer(this, kRepeatTimer);
    window->releaseCapture(this);
  }
  if (held_ != ScrollPart::kNone) {
    held_ = ScrollPart::kNone;
    invalidate();
  }
}

void ScrollBar::captureLost() {
  endPress();
  setHot(ScrollPart::kNone);
}

void ScrollBar::destroyPlatform() {
  endPress();
  Component::destroyPlatform();
}

bool ScrollBar::handleInput(const Event& event, std::int32_t x, std::int32_t y) {
  Window* window = windowOf(*this);
  const bool inside = x >= 0 && y >= 0 && x < getWidth() && y < getHeight();
  const ScrollGeometry g = geometry();
  const ScrollPart part = inside ? g.partAt(along(x, y)) : ScrollPart::kNone;
  switch (event.kind) {
    case EventKind::kMotion:
      if (held_ == ScrollPart::kThumb) {
        scrollTo(dragGeometry_.draggedPosition(info_, dragStartPosition_, along(x, y) - dragFrom_));
      }
      under_ = part;
      setHot(part);
      if (held_ == ScrollPart::kNone && window != nullptr) {
        // Held while the pointer is over the bar, so that leaving it clears the highlight.
        if (inside) {
          window->setCapture(this);
        } else {
          window->releaseCapture(this);
        }
      }
      return true;
    case EventKind::kLeave:
      if (held_ == ScrollPart::kNone) {
        if (window != nullptr) {
          window->releaseCapture(this);
        }
        setHot(ScrollPart::kNone);
      }
      return true;
    case EventKind::kButtonPress:
      if (event.button != 1 || part == ScrollPart::kNone) {
        return inside;
      }
      held_ = part;
      under_ = part;
      hot_ = part;
      if (window != nullptr) {
        window->setCapture(this);
      }
      invalidate();
      if (part == ScrollPart::kThumb) {
        dragFrom_ = along(x, y);
        dragStartPosition_ = info_.position;
        dragGeometry_ = g;
        return true;
      }
      act(part);
      if (window != nullptr) {
        window->setComponentTimer(this, kRepeatDelayTimer, kRepeatDelayMs,
                                  [this] { repeatTick(kRepeatDelayTimer); });
      }
      return true;
    case EventKind::kButtonRelease:
      if (event.button != 1 || held_ == ScrollPart::kNone) {
        return inside;
      }
      endPress();
      setHot(part);
      return true;
    case EventKind::kWheel:
      // Three lines a notch, as over what the bar scrolls.
      scrollTo(info_.position - event.wheel * kWheelLines * info_.line);
      return true;
    default:
      return false;
  }
}

}  // namespace s::gui::win

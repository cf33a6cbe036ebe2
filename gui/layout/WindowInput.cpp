// Window: the platform's events, and input routed to the components: pointer capture, the
// cursor, the keyboard focus and Tab, buttons and double clicks.
#include "gui/layout/Window.h"

#include "gui/layout/ResizeZones.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <vector>

namespace s::gui::win {

using platform::ui::Event;
using platform::ui::EventKind;
using platform::ui::Rect;

namespace {

constexpr std::uint32_t kDoubleClickMs = 500;
constexpr std::uint32_t kKeyTab = 0xFF09;
constexpr std::uint32_t kKeyF10 = 0xFFC7;
// What Shift+Tab gives on most keyboard maps.
constexpr std::uint32_t kKeyLeftTab = 0xFE20;
constexpr std::int32_t kDoubleClickSlop = 4;

}  // namespace

void Window::releaseCapture(const Component* component) {
  if (capture_ == component) {
    capture_ = nullptr;
  }
}

void Window::focusComponent(Component* component) {
  if (component == focus_) {
    return;
  }
  Component* previous = focus_;
  focus_ = component;
  if (previous != nullptr) {
    previous->invalidate();
  }
  if (component != nullptr) {
    component->invalidate();
  }
}

namespace {
// The focusable components of a tree in tree order, hidden branches left out.
void collectFocusable(Component& component, std::vector<Component*>& out) {
  for (IComponent* child : *component.getChildren()) {
    Component* c = Component::of(child);
    if (c == nullptr || !c->isVisible()) {
      continue;
    }
    if (c->isFocusable()) {
      out.push_back(c);
    }
    collectFocusable(*c, out);
  }
}
}  // namespace

bool Window::moveFocus(bool backwards) {
  std::vector<Component*> stops;
  collectFocusable(*this, stops);
  if (stops.empty()) {
    return false;
  }
  const auto at = std::find(stops.begin(), stops.end(), focus_);
  const auto count = static_cast<std::ptrdiff_t>(stops.size());
  std::ptrdiff_t next = 0;
  if (at == stops.end()) {
    next = backwards ? count - 1 : 0;
  } else {
    next = ((at - stops.begin()) + (backwards ? count - 1 : 1)) % count;
  }
  focusCues_ = true;
  focusComponent(stops[static_cast<std::size_t>(next)]);
  return true;
}

bool Window::routeKey(const Event& event) {
  constexpr std::uint32_t kCommandKeys = platform::ui::modifier::kControl |
                                         platform::ui::modifier::kAlt |
                                         platform::ui::modifier::kSuper;
  if ((event.keysym == kKeyTab || event.keysym == kKeyLeftTab) &&
      (event.modifiers & kCommandKeys) == 0 &&
      moveFocus(event.keysym == kKeyLeftTab ||
                (event.modifiers & platform::ui::modifier::kShift) != 0)) {
    return true;
  }
  // A focused component in a branch hidden since takes no keys (the hidden page of a pile).
  for (Component* c = focus_; c != nullptr && c != this; c = of(c->getParent())) {
    if (!c->wantsVisible()) {
      focusComponent(nullptr);
      break;
    }
  }
  for (Component* target = focus_; target != nullptr && target != this;
       target = of(target->getParent())) {
    if (target->handleKey(event)) {
      return true;
    }
  }
  return false;
}

bool Window::routeInput(const Event& event) {
  if (capture_ != nullptr) {
    const Rect at = capture_->clientBounds();
    return capture_->handleInput(event, event.x - at.x, event.y - at.y);
  }
  for (Component* target = componentAt(event.x, event.y); target != nullptr && target != this;
       target = of(target->getParent())) {
    const Rect at = target->clientBounds();
    if (target->handleInput(event, event.x - at.x, event.y - at.y)) {
      return true;
    }
  }
  return false;
}

void Window::updateCursor(const Event& event) {
  Component* target = capture_ != nullptr ? capture_ : componentAt(event.x, event.y);
  platform::ui::PointerShape shape = platform::ui::PointerShape::kInherit;
  for (Component* c = target; c != nullptr && shape == platform::ui::PointerShape::kInherit;
       c = of(c->getParent())) {
    const Rect at = c->clientBounds();
    shape = c->cursorAt(event.x - at.x, event.y - at.y);
  }
  if (shape == platform::ui::PointerShape::kInherit) {
    shape = platform::ui::PointerShape::kArrow;
  }
  // The skin draws the frame, so the window shows its sizing edges itself.
  const auto zone = skin_.get() != nullptr && resizable_ && capture_ == nullptr
                        ? resizeZoneAt(event.x, event.y, getWidth(), getHeight())
                        : std::nullopt;
  if (zone) {
    shape = pointerFor(*zone);
  }
  if (shape != shownCursor_ && display_->setCursor(platformWindow_, shape)) {
    shownCursor_ = shape;
  }
}

void Window::loseCapture() {
  if (heldButtons_ == 0) {
    return;
  }
  heldButtons_ = 0;
  Component* holder = capture_;
  capture_ = nullptr;
  if (holder != nullptr) {
    holder->captureLost();
  }
  fire(kWindowCaptureLost);
}

void Window::handleButton(const Event& event) {
  const bool press = event.kind == EventKind::kButtonPress;
  const std::uint32_t bit = event.button < 32 ? 1U << event.button : 0;
  heldButtons_ = press ? heldButtons_ | bit : heldButtons_ & ~bit;
  if (press && event.button == 1) {
    for (Component* c = componentAt(event.x, event.y); c != nullptr && c != this;
         c = of(c->getParent())) {
      if (c->isFocusable()) {
        focusComponent(c);
        break;
      }
    }
  }
  if (press && handleFramePress(event)) {
    return;
  }
  // What the window tells its listeners, unless a component takes the press.
  std::optional<WindowEvent> told;
  doubleClick_ = false;
  switch (event.button) {
    case 1:
      told = press ? kWindowLeftPress : kWindowLeftRelease;
      if (press) {
        const bool again = lastLeftPressMs_ != 0 &&
                           event.timeMs - lastLeftPressMs_ <= kDoubleClickMs &&
                           std::abs(event.x - lastLeftPressX_) <= kDoubleClickSlop &&
                           std::abs(event.y - lastLeftPressY_) <= kDoubleClickSlop;
        // The second press of a double click reports the double click instead.
        lastLeftPressMs_ = again ? 0 : event.timeMs;
        lastLeftPressX_ = event.x;
        lastLeftPressY_ = event.y;
        if (again) {
          told = kWindowDoubleClick;
          doubleClick_ = true;
        }
      }
      break;
    case 2:
      if (press) {
        told = kWindowMiddlePress;
      }
      break;
    case 3:
      told = press ? kWindowRightPress : kWindowRightRelease;
      break;
    default:
      break;
  }
  // What a component took is not the window's: a press on a button does not drag it.
  const bool taken = routeInput(event);
  if (!press) {
    updateCursor(event);
  }
  if (!taken && told.has_value()) {
    fire(*told);
  }
  if (!taken && press && told.has_value()) {
    if (*told == kWindowLeftPress && easyDrag_ &&
        (event.modifiers & platform::ui::modifier::kButtonRight) == 0) {
      display_->beginMoveResize(platformWindow_, platform::ui::MoveResize::kMove, event.rootX,
                                event.rootY, event.button);
    } else if (*told == kWindowRightPress) {
      handleContextPress(event);
    } else if (*told == kWindowMiddlePress) {
      middleClick();
    }
  }
}

void Window::onPlatformEvent(const Event& event) {
  if (event.kind == EventKind::kTimer) {
    auto timer = std::find_if(componentTimers_.begin(), componentTimers_.end(),
                              [&](const ComponentTimer& t) { return t.platformId == event.id; });
    if (timer != componentTimers_.end()) {
      // The tick may kill or restart its own timer: run a copy.
      const std::function<void()> tick = timer->tick;
      tick();
    } else if (event.id >= kAppTimerOffset) {
      timerId_ = event.id - kAppTimerOffset;
      fire(kWindowTimer);
    }
    return;
  }
  if (event.kind == EventKind::kHotKey) {
    auto it = std::find_if(hotKeys_.begin(), hotKeys_.end(),
                           [&](const HotKey& k) { return k.id == event.id; });
    if (it != hotKeys_.end()) {
      lastInput_ = event;
      hotKeyName_ = it->name;
      fire(kWindowHotKey);
    }
    return;
  }
  if (event.window != platformWindow_) {
    return;
  }
  switch (event.kind) {
    case EventKind::kButtonPress:
    case EventKind::kButtonRelease:
      lastInput_ = event;
      handleButton(event);
      break;
    case EventKind::kMotion:
    case EventKind::kEnter:
      lastInput_ = event;
      routeInput(event);
      updateCursor(event);
      if (event.kind == EventKind::kMotion) {
        fire(kWindowMouseMoved);
      }
      break;
    case EventKind::kWheel:
      lastInput_ = event;
      routeInput(event);
      fire(kWindowWheel);
      break;
    case EventKind::kKeyPress:
      lastInput_ = event;
      if (routeKey(event)) {
        break;
      }
      if (event.keysym == kKeyF10 && (event.modifiers & platform::ui::modifier::kKeys) == 0 &&
          menuBar_ != nullptr) {
        menuBar_->openFromKeyboard();
      } else {
        fire(kWindowKey);
      }
      break;
    case EventKind::kFocusIn:
      active_ = true;
      fire(kWindowActivated);
      break;
    case EventKind::kFocusOut:
      active_ = false;
      deactivated_ = std::chrono::steady_clock::now();
      loseCapture();
      fire(kWindowDeactivated);
      break;
    case EventKind::kPointerGrabLost:
      if (heldButtons_ != 0) {
        loseCapture();
      } else if (capture_ != nullptr) {
        Event leave = event;
        leave.kind = EventKind::kLeave;
        routeInput(leave);
      }
      break;
    case EventKind::kConfigure:
      onConfigure(event);
      break;
    case EventKind::kMap:
      if (minimized_) {
        minimized_ = false;
        fire(kWindowRestored);
      }
      break;
    case EventKind::kLeave:
      if (capture_ != nullptr) {
        routeInput(event);
      }
      break;
    case EventKind::kUnmap:
      loseCapture();
      break;
    case EventKind::kDragOver:
      display_->answerDrag(dropTargetAt(event.x, event.y, true, true) != nullptr);
      break;
    case EventKind::kDrop:
      handleDrop(event);
      break;
    case EventKind::kClipboardChanged:
      if (watchingClipboard_) {
        fire(kWindowClipboard);
      }
      break;
    case EventKind::kCloseRequest:
      closeRequested();
      break;
    default:
      break;
  }
}

}  // namespace s::gui::win

// Window: the platform's events. Its owned windows' go to them, its own input to the
// components (ComponentHostInput.cpp) unless an owned window holds the input or a modal one
// holds it back; timers, hot keys, the window manager's news and drops are the window's, and
// so are the application window's sides of the input: the frame's edges, easy drag, the
// context menu, the middle click and F10.
#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>

#include "gui/layout/OwnedWindow.h"
#include "gui/layout/ResizeZones.h"
#include "gui/layout/Window.h"

namespace s::gui::win {

using platform::ui::Event;
using platform::ui::EventKind;

namespace {

bool isInput(EventKind kind) {
  switch (kind) {
    case EventKind::kButtonPress:
    case EventKind::kButtonRelease:
    case EventKind::kMotion:
    case EventKind::kWheel:
    case EventKind::kKeyPress:
    case EventKind::kKeyRelease:
    case EventKind::kEnter:
    case EventKind::kLeave:
      return true;
    default:
      return false;
  }
}

constexpr std::uint32_t kKeyF10 = 0xFFC7;

}  // namespace

std::optional<platform::ui::PointerShape> Window::frameCursorAt(std::int32_t x,
                                                                std::int32_t y) const {
  // The skin draws the frame, so the window shows its sizing edges itself.
  if (skin_.get() == nullptr || !resizable_) {
    return std::nullopt;
  }
  const auto zone = resizeZoneAt(x, y, getWidth(), getHeight());
  return zone ? std::optional(pointerFor(*zone)) : std::nullopt;
}

void Window::unclaimedPress(WindowEvent told, const Event& event) {
  if (told == kWindowLeftPress && easyDrag_ &&
      (event.modifiers & platform::ui::modifier::kButtonRight) == 0) {
    display_->beginMoveResize(platformWindow_, platform::ui::MoveResize::kMove, event.rootX,
                              event.rootY, event.button);
  } else if (told == kWindowRightPress) {
    handleContextPress(event);
  } else if (told == kWindowMiddlePress) {
    middleClick();
  }
}

bool Window::unclaimedKey(const Event& event) {
  if (event.keysym == kKeyF10 && (event.modifiers & platform::ui::modifier::kKeys) == 0 &&
      menuBar_ != nullptr) {
    menuBar_->openFromKeyboard();
    return true;
  }
  return false;
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
    if (OwnedWindow* owned = ownedWindowOf(event.window)) {
      owned->onPlatformEvent(event);
    }
    return;
  }
  if (isInput(event.kind) && inputHolder_ != nullptr) {
    inputHolder_->takeOwnerInput(event);
    return;
  }
  // A modal box leaves the window disabled, its close button included.
  if (modals_ > 0 && (isInput(event.kind) || event.kind == EventKind::kCloseRequest)) {
    return;
  }
  switch (event.kind) {
    case EventKind::kFocusIn:
      active_ = true;
      handleHostEvent(event);
      break;
    case EventKind::kFocusOut:
      active_ = false;
      deactivated_ = std::chrono::steady_clock::now();
      handleHostEvent(event);
      break;
    case EventKind::kConfigure:
      onConfigure(event);
      break;
    case EventKind::kMap:
      mappedOnce_ = true;
      if (iconizeWhenMapped_) {
        iconizeWhenMapped_ = false;
        iconize();
        break;
      }
      // Without a window manager the map is all the news of being back.
      onWmState({.maximized = maximized_, .minimized = false});
      break;
    case EventKind::kStateChanged:
      onWmState(event.wmState);
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
      handleHostEvent(event);
      break;
  }
}

}  // namespace s::gui::win

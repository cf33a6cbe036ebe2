// Window: the platform's events. Its owned windows' go to them, its own input to the
// components (ComponentHostInput.cpp) unless an owned window holds the input or a modal one
// holds it back; timers, hot keys, the window manager's news and drops are the window's.
#include <algorithm>
#include <functional>

#include "gui/layout/OwnedWindow.h"
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

}  // namespace

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
    case EventKind::kConfigure:
      onConfigure(event);
      break;
    case EventKind::kMap:
      if (iconized_) {
        iconized_ = false;
        fire(kWindowRestored);
      }
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
      // With close-iconizes the close button only iconizes, unless already iconized.
      if (closeIconizes_ && !iconized_) {
        iconize();
      } else {
        close();
      }
      break;
    default:
      handleHostEvent(event);
      break;
  }
}

}  // namespace s::gui::win

// Window: hot keys for the whole desktop, and the text that tells one is taken.
#include "gui/layout/Window.h"

#include <algorithm>
#include <string>

namespace s::gui::win {

std::string Window::hotKeyOccupiedText(int error, std::uint32_t flags, std::uint32_t keyCode) {
  std::string text = "(" + std::to_string(error) + ") HotKey ";
  if ((flags & 1) != 0) {
    text += "Alt+";
  }
  if ((flags & 2) != 0) {
    text += "Ctrl+";
  }
  if ((flags & 4) != 0) {
    text += "Shift+";
  }
  if ((flags & 8) != 0) {
    text += "WinKey+";
  }
  return text + std::to_string(keyCode) + " has been occupied by another application.";
}

bool Window::registerHotKey(std::uint32_t flags, std::uint32_t keyCode, std::string_view name,
                            bool showError) {
  bool registered = false;
  Component::runSync([&] {
    unregisterHotKey(name);
    if (display_ == nullptr) {
      return;
    }
    std::uint32_t modifiers = 0;
    modifiers |= (flags & 1) != 0 ? platform::ui::modifier::kAlt : 0;
    modifiers |= (flags & 2) != 0 ? platform::ui::modifier::kControl : 0;
    modifiers |= (flags & 4) != 0 ? platform::ui::modifier::kShift : 0;
    modifiers |= (flags & 8) != 0 ? platform::ui::modifier::kSuper : 0;
    const std::uint32_t id = nextHotKeyId_++;
    registered = display_->grabHotKey(id, modifiers, keyCode);
    if (registered) {
      hotKeys_.push_back({std::string(name), id});
    } else if (showError) {
      lastHotKeyWarning_ = hotKeyOccupiedText(display_->hotKeyError(), flags, keyCode);
      showInfo(lastHotKeyWarning_);
    }
  });
  return registered;
}

void Window::unregisterHotKey(std::string_view name) {
  Component::runSync([&] {
    auto it = std::find_if(hotKeys_.begin(), hotKeys_.end(),
                           [&](const HotKey& k) { return k.name == name; });
    if (it == hotKeys_.end()) {
      return;
    }
    if (display_ != nullptr) {
      display_->ungrabHotKey(it->id);
    }
    hotKeys_.erase(it);
  });
}

void Window::unregisterAllHotKeys() {
  Component::runSync([&] {
    while (!hotKeys_.empty()) {
      unregisterHotKey(std::string(hotKeys_.back().name));
    }
  });
}

}  // namespace s::gui::win

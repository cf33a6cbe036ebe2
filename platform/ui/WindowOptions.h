#pragma once

#include <string_view>

#include "platform/ui/Event.h"
#include "platform/ui/Rect.h"

namespace s::platform::ui {

enum class WindowKind : std::uint8_t {
  kTopLevel,  // a managed window with a frame
  kDialog,    // a managed window kept above its owner (transient)
  kPopup,     // not managed (override-redirect): menus, tool tips; may extend beyond its owner
  // The icon in the desktop's notification area, which embeds the window and gives it its
  // size; it cannot be made where no notification area runs.
  kTrayIcon,
};

// What createWindow makes. bounds are screen coordinates; the position is only a request to the
// window manager unless `positioned` (pop-ups are always placed where asked).
struct WindowOptions {
  WindowKind kind = WindowKind::kTopLevel;
  WindowId owner = 0;
  Rect bounds{0, 0, 240, 120};
  bool positioned = false;
  std::string_view title{};  // UTF-8
};

}  // namespace s::platform::ui

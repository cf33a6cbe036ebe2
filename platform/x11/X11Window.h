#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "platform/x11/X11BackBuffer.h"
#include "platform/x11/X11Display.h"

namespace s::platform::x11 {

// One of the display's X windows, as the backend's files share it.
struct X11Display::Win {
  Window xid = 0;
  ui::WindowKind kind = ui::WindowKind::kTopLevel;
  ui::Rect bounds;
  bool positioned = false;
  bool mapped = false;
  bool focusOnMap = false;
  // Mapped last with WM_HINTS asking to start iconic.
  bool startsIconic = false;
  bool above = false;
  bool skipTaskbar = false;
  bool maximized = false;
  // As last told to the sink.
  ui::WmState reported;
  int minWidth = 0;
  int minHeight = 0;
  int maxWidth = 0;
  int maxHeight = 0;
  XIC xic = nullptr;
  X11BackBuffer buffer;
};

}  // namespace s::platform::x11

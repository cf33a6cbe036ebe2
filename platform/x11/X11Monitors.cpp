#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include "platform/x11/X11Display.h"

namespace s::platform::x11 {

std::vector<ui::Rect> X11Display::monitors() const {
  std::vector<ui::Rect> out;
  int eventBase = 0;
  int errorBase = 0;
  if (XRRQueryExtension(display_, &eventBase, &errorBase) != 0) {
    int count = 0;
    XRRMonitorInfo* list = XRRGetMonitors(display_, root_, True, &count);
    for (int i = 0; list != nullptr && i < count; ++i) {
      if (list[i].width > 0 && list[i].height > 0) {
        out.push_back({list[i].x, list[i].y, list[i].width, list[i].height});
      }
    }
    if (list != nullptr) {
      XRRFreeMonitors(list);
    }
  }
  if (out.empty()) {
    out.push_back({0, 0, screenWidth(), screenHeight()});
  }
  return out;
}

}  // namespace s::platform::x11

#pragma once

#include <string>
#include <string_view>

#include "platform/ui/EventLoop.h"

struct _XDisplay;

namespace s::platform::x11 {

// The tray icon's tip: a notification area of the XEmbed kind shows none of its own, so the
// icon shows its text in a small window of its own below the pointer (above it near the
// bottom of the screen) once the pointer has rested on the icon a moment. A timerfd watched by
// the loop does the waiting.
class X11TrayTip {
 public:
  X11TrayTip(_XDisplay* display, ui::EventLoop& loop);
  ~X11TrayTip();
  X11TrayTip(const X11TrayTip&) = delete;
  X11TrayTip& operator=(const X11TrayTip&) = delete;

  void setText(std::string_view text);
  // The pointer came onto the icon at (rootX, rootY): the tip shows after the delay.
  void arm(int rootX, int rootY);
  // The pointer left, clicked or the icon went: no tip.
  void cancel();
  // The tip's window while shown, else 0.
  unsigned long window() const { return window_; }
  // Draws the text (on Expose of window()).
  void paint();

 private:
  void onTimer();
  void open();

  _XDisplay* display_;
  ui::EventLoop& loop_;
  int timer_ = -1;
  std::string text_;
  int x_ = 0;
  int y_ = 0;
  int width_ = 0;
  int height_ = 0;
  unsigned long window_ = 0;
};

}  // namespace s::platform::x11

#include "platform/x11/X11TrayTip.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo-xlib.h>
#include <pango/pangocairo.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

#include "platform/ui/DesktopScale.h"

namespace s::platform::x11 {

namespace {

// How long the pointer rests on the icon before the tip shows, as desktops do.
constexpr long kDelayMs = 600;
constexpr int kPadding = 4;
constexpr int kPointerGap = 18;

// The text's layout in the desktop's sans-serif face, scaled like the rest of the program.
PangoLayout* layoutOf(cairo_t* cr, const std::string& text) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoFontDescription* font = pango_font_description_from_string("Sans");
  pango_font_description_set_absolute_size(font, ui::DesktopScale::px(12) * PANGO_SCALE);
  pango_layout_set_font_description(layout, font);
  pango_font_description_free(font);
  pango_layout_set_text(layout, text.data(), static_cast<int>(text.size()));
  return layout;
}

}  // namespace

X11TrayTip::X11TrayTip(Display* display, ui::EventLoop& loop)
    : display_(display),
      loop_(loop),
      timer_(timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK)) {
  if (timer_ >= 0 && !loop_.watch(timer_, [this] { onTimer(); })) {
    close(timer_);
    timer_ = -1;
  }
}

X11TrayTip::~X11TrayTip() {
  cancel();
  if (timer_ >= 0) {
    loop_.unwatch(timer_);
    close(timer_);
  }
}

void X11TrayTip::setText(std::string_view text) {
  text_ = std::string(text);
  if (window_ != 0) {
    // Shown: the new text in a window of its size.
    const int x = x_;
    const int y = y_;
    cancel();
    x_ = x;
    y_ = y;
    open();
  }
}

void X11TrayTip::arm(int rootX, int rootY) {
  if (timer_ < 0 || text_.empty()) {
    return;
  }
  x_ = rootX;
  y_ = rootY;
  itimerspec due{};
  due.it_value.tv_sec = kDelayMs / 1000;
  due.it_value.tv_nsec = (kDelayMs % 1000) * 1000000;
  timerfd_settime(timer_, 0, &due, nullptr);
}

void X11TrayTip::cancel() {
  if (timer_ >= 0) {
    const itimerspec off{};
    timerfd_settime(timer_, 0, &off, nullptr);
  }
  if (window_ != 0) {
    XDestroyWindow(display_, window_);
    window_ = 0;
    XFlush(display_);
  }
}

void X11TrayTip::onTimer() {
  std::uint64_t expirations = 0;
  if (read(timer_, &expirations, sizeof expirations) == sizeof expirations) {
    open();
  }
}

void X11TrayTip::open() {
  if (window_ != 0 || text_.empty()) {
    return;
  }
  // Measured on a scratch surface first, to size the window.
  cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
  cairo_t* measure = cairo_create(scratch);
  PangoLayout* layout = layoutOf(measure, text_);
  int textWidth = 0;
  int textHeight = 0;
  pango_layout_get_pixel_size(layout, &textWidth, &textHeight);
  g_object_unref(layout);
  cairo_destroy(measure);
  cairo_surface_destroy(scratch);
  width_ = textWidth + 2 * kPadding;
  height_ = textHeight + 2 * kPadding;

  const int screen = DefaultScreen(display_);
  const int screenWidth = DisplayWidth(display_, screen);
  const int screenHeight = DisplayHeight(display_, screen);
  const int gap = ui::DesktopScale::px(kPointerGap);
  int x = std::clamp(x_ - width_ / 2, 0, std::max(0, screenWidth - width_));
  int y = y_ + gap;
  if (y + height_ > screenHeight) {
    y = std::max(0, y_ - gap - height_);
  }
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.background_pixel = 0xFFFFE1;
  attributes.border_pixel = 0x000000;
  attributes.event_mask = ExposureMask;
  window_ =
      XCreateWindow(display_, RootWindow(display_, screen), x, y, static_cast<unsigned>(width_),
                    static_cast<unsigned>(height_), 1, CopyFromParent, InputOutput, CopyFromParent,
                    CWOverrideRedirect | CWBackPixel | CWBorderPixel | CWEventMask, &attributes);
  XMapRaised(display_, window_);
  XFlush(display_);
}

void X11TrayTip::paint() {
  if (window_ == 0) {
    return;
  }
  const int screen = DefaultScreen(display_);
  cairo_surface_t* target = cairo_xlib_surface_create(
      display_, window_, DefaultVisual(display_, screen), width_, height_);
  cairo_t* cr = cairo_create(target);
  cairo_set_source_rgb(cr, 1.0, 1.0, 0xE1 / 255.0);
  cairo_paint(cr);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_move_to(cr, kPadding, kPadding);
  PangoLayout* layout = layoutOf(cr, text_);
  pango_cairo_show_layout(cr, layout);
  g_object_unref(layout);
  cairo_destroy(cr);
  cairo_surface_flush(target);
  cairo_surface_destroy(target);
  XFlush(display_);
}

}  // namespace s::platform::x11

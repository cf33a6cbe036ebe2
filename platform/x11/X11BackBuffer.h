#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>
#include <cairo.h>

#include "platform/ui/Rect.h"

namespace s::platform::x11 {

// A window's back buffer: a cairo RGB24 image whose memory is also an XImage, so presenting is
// one XShmPutImage (memory shared with a local server) or XPutImage (copied through the socket).
class X11BackBuffer {
 public:
  X11BackBuffer() = default;
  ~X11BackBuffer() { destroy(); }
  X11BackBuffer(const X11BackBuffer&) = delete;
  X11BackBuffer& operator=(const X11BackBuffer&) = delete;

  // Replaces the buffer with one of the new size, keeping the old pixels in the top-left corner.
  // Uses shared memory when `shm` and the server accepts the segment. False when no buffer can
  // be made (the old one is kept then).
  bool create(Display* display, Visual* visual, int depth, int width, int height, bool shm);
  void destroy();

  cairo_surface_t* surface() const { return surface_; }
  bool usesShm() const { return shmAttached_; }
  // Copies `area` (buffer coordinates, clipped to it) to the same place in `window`.
  void present(Window window, GC gc, const ui::Rect& area);

 private:
  Display* display_ = nullptr;
  XImage* image_ = nullptr;
  XShmSegmentInfo shm_{};
  bool shmAttached_ = false;
  cairo_surface_t* surface_ = nullptr;
};

}  // namespace s::platform::x11

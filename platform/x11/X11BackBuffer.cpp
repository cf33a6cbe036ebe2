#include "platform/x11/X11BackBuffer.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "platform/ui/Surfaces.h"
#include "platform/x11/X11ErrorTrap.h"

namespace s::platform::x11 {

namespace {
constexpr int kHostByteOrder = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
}  // namespace

bool X11BackBuffer::create(Display* display, Visual* visual, int depth, int width, int height,
                           bool shm) {
  if (width <= 0 || height <= 0) {
    return false;
  }
  X11BackBuffer fresh;
  fresh.display_ = display;
  // Shared memory holds cairo's pixels as they are, so the server must read them in our order.
  if (shm && ImageByteOrder(display) == kHostByteOrder) {
    fresh.image_ =
        XShmCreateImage(display, visual, depth, ZPixmap, nullptr, &fresh.shm_, width, height);
    if (fresh.image_ != nullptr && fresh.image_->bits_per_pixel == 32) {
      fresh.shm_.shmid =
          shmget(IPC_PRIVATE, static_cast<std::size_t>(fresh.image_->bytes_per_line) * height,
                 IPC_CREAT | 0600);
      if (fresh.shm_.shmid >= 0) {
        void* address = shmat(fresh.shm_.shmid, nullptr, 0);
        if (reinterpret_cast<std::intptr_t>(address) != -1) {
          fresh.shm_.shmaddr = static_cast<char*>(address);
          fresh.image_->data = fresh.shm_.shmaddr;
          fresh.shm_.readOnly = False;
          X11ErrorTrap trap(display);
          // A remote server answers BadAccess: it cannot see our memory.
          fresh.shmAttached_ = XShmAttach(display, &fresh.shm_) != 0 && trap.sync() == Success;
          if (!fresh.shmAttached_) {
            shmdt(fresh.shm_.shmaddr);
            fresh.shm_.shmaddr = nullptr;
          }
        }
        // Freed by the kernel once both sides have detached.
        shmctl(fresh.shm_.shmid, IPC_RMID, nullptr);
      }
    }
    if (!fresh.shmAttached_ && fresh.image_ != nullptr) {
      fresh.image_->data = nullptr;
      XDestroyImage(fresh.image_);
      fresh.image_ = nullptr;
    }
  }
  if (fresh.shmAttached_) {
    fresh.surface_ = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(fresh.image_->data), CAIRO_FORMAT_RGB24, width, height,
        fresh.image_->bytes_per_line);
  } else {
    fresh.surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    if (cairo_surface_status(fresh.surface_) == CAIRO_STATUS_SUCCESS) {
      fresh.image_ =
          XCreateImage(display, visual, depth, ZPixmap, 0,
                       reinterpret_cast<char*>(cairo_image_surface_get_data(fresh.surface_)), width,
                       height, 32, cairo_image_surface_get_stride(fresh.surface_));
      if (fresh.image_ != nullptr) {
        // Xlib converts on the way when the server's order differs.
        fresh.image_->byte_order = kHostByteOrder;
      }
    }
  }
  if (cairo_surface_status(fresh.surface_) != CAIRO_STATUS_SUCCESS || fresh.image_ == nullptr) {
    return false;
  }
  cairo_t* cr = cairo_create(fresh.surface_);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_destroy(cr);
  if (surface_ != nullptr) {
    ui::surfaces::copyInto(surface_, fresh.surface_);
  }
  destroy();
  std::swap(display_, fresh.display_);
  std::swap(image_, fresh.image_);
  std::swap(shm_, fresh.shm_);
  std::swap(shmAttached_, fresh.shmAttached_);
  std::swap(surface_, fresh.surface_);
  if (shmAttached_) {
    // The image refers to its segment record, which has just moved here.
    image_->obdata = reinterpret_cast<char*>(&shm_);
  }
  return true;
}

void X11BackBuffer::destroy() {
  if (surface_ != nullptr) {
    cairo_surface_destroy(surface_);
    surface_ = nullptr;
  }
  if (shmAttached_) {
    XShmDetach(display_, &shm_);
    // The server must let go of the segment before our side does.
    XSync(display_, False);
    shmdt(shm_.shmaddr);
    shmAttached_ = false;
  }
  if (image_ != nullptr) {
    // The pixels belong to cairo or to the segment, not to the XImage.
    image_->data = nullptr;
    XDestroyImage(image_);
    image_ = nullptr;
  }
}

void X11BackBuffer::present(Window window, GC gc, const ui::Rect& area) {
  if (surface_ == nullptr) {
    return;
  }
  const ui::Rect part = area.intersected(
      {0, 0, cairo_image_surface_get_width(surface_), cairo_image_surface_get_height(surface_)});
  if (part.empty()) {
    return;
  }
  cairo_surface_flush(surface_);
  const auto w = static_cast<unsigned>(part.width);
  const auto h = static_cast<unsigned>(part.height);
  if (shmAttached_) {
    XShmPutImage(display_, window, gc, image_, part.x, part.y, part.x, part.y, w, h, False);
    // The server reads the segment after the request; wait so that the next painting cannot
    // change pixels it has not copied yet.
    XSync(display_, False);
  } else {
    XPutImage(display_, window, gc, image_, part.x, part.y, part.x, part.y, w, h);
    XFlush(display_);
  }
}

}  // namespace s::platform::x11

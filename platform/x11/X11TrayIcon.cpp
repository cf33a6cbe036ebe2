#include "platform/x11/X11TrayIcon.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo-xlib.h>

#include "platform/ui/DesktopScale.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11ErrorTrap.h"

namespace s::platform::x11 {

namespace {

constexpr long kRequestDock = 0;    // SYSTEM_TRAY_REQUEST_DOCK
constexpr long kXembedVersion = 0;  // the protocol version of _XEMBED_INFO
constexpr long kXembedMapped = 1;   // XEMBED_MAPPED: the embedder maps the window
// What the icon asks for at 96 dpi; the notification area gives it its own size.
constexpr int kRequestedSize = 22;

Atom atomOf(Display* display, const char* name) {
  return XInternAtom(display, name, False);
}

}  // namespace

std::unique_ptr<X11TrayIcon> X11TrayIcon::open(const char* name, ui::EventLoop& loop,
                                               IListener& listener) {
  Display* display = openConnection(name);
  if (display == nullptr) {
    return nullptr;
  }
  std::unique_ptr<X11TrayIcon> tray(new X11TrayIcon(display, loop, listener));
  // Without it Xlib ends the process when the server goes, before the program saves its place.
  XSetIOErrorExitHandler(display, &X11TrayIcon::connectionBroke, tray.get());
  if (!loop.watch(ConnectionNumber(display), [icon = tray.get()] { icon->pump(); })) {
    return nullptr;
  }
  tray->findManager();
  tray->pump();
  return tray;
}

X11TrayIcon::X11TrayIcon(Display* display, ui::EventLoop& loop, IListener& listener)
    : display_(display),
      loop_(loop),
      listener_(listener),
      screen_(DefaultScreen(display)),
      root_(RootWindow(display, screen_)),
      selection_(atomOf(display, ("_NET_SYSTEM_TRAY_S" + std::to_string(screen_)).c_str())),
      atoms_{atomOf(display, "MANAGER"),
             atomOf(display, "_NET_SYSTEM_TRAY_OPCODE"),
             atomOf(display, "_NET_SYSTEM_TRAY_VISUAL"),
             atomOf(display, "_XEMBED_INFO"),
             atomOf(display, "_NET_WM_NAME"),
             atomOf(display, "UTF8_STRING")},
      tipWindow_(display, loop) {
  // The MANAGER messages of a notification area that starts come to the root window.
  XSelectInput(display_, root_, StructureNotifyMask);
}

void X11TrayIcon::connectionBroke(Display* display, void* self) {
  auto* icon = static_cast<X11TrayIcon*>(self);
  if (!icon->lost_) {
    icon->lost_ = true;
    icon->loop_.unwatch(ConnectionNumber(display));
  }
}

X11TrayIcon::~X11TrayIcon() {
  if (lost_) {
    // The connection is dead: what it holds is left to the process's end.
    return;
  }
  loop_.unwatch(ConnectionNumber(display_));
  destroyIcon();
  // cairo keeps its own state for the connection until told that it ends.
  if (cairo_ != nullptr) {
    cairo_device_finish(cairo_);
    cairo_device_destroy(cairo_);
  }
  XCloseDisplay(display_);
}

void X11TrayIcon::show(const ui::IconPixels& icon, std::string_view tip) {
  shown_ = true;
  update(icon, tip);
  if (manager_ != 0 && icon_ == 0) {
    dock();
  }
  pump();
}

void X11TrayIcon::update(const ui::IconPixels& icon, std::string_view tip) {
  picture_ = ui::icons::toSurface(icon);
  tip_ = std::string(tip);
  tipWindow_.setText(tip_);
  if (icon_ != 0) {
    writeTip();
    paint();
  }
  pump();
}

void X11TrayIcon::hide() {
  shown_ = false;
  destroyIcon();
  pump();
}

void X11TrayIcon::pump() {
  if (lost_) {
    return;
  }
  while (XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    handle(event);
  }
}

void X11TrayIcon::findManager() {
  Window owner = XGetSelectionOwner(display_, static_cast<Atom>(selection_));
  if (owner != None) {
    // Its end (DestroyNotify) tells that the area went; it may be gone already.
    X11ErrorTrap trap(display_);
    XSelectInput(display_, owner, StructureNotifyMask);
    if (trap.sync() != Success) {
      owner = None;
    }
  }
  if (owner == manager_) {
    return;
  }
  manager_ = owner;
  destroyIcon();
  if (manager_ != 0 && shown_) {
    dock();
  }
  // Posted: the listener may show or hide icons, which pumps this connection again.
  later([&listener = listener_] { listener.onTrayHostChanged(); });
}

void X11TrayIcon::dock() {
  // The visual the area asks for (one with alpha, where it composites its icons); else ours,
  // with the area's own background showing through.
  Visual* visual = DefaultVisual(display_, screen_);
  int depth = DefaultDepth(display_, screen_);
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  {
    X11ErrorTrap trap(display_);
    if (XGetWindowProperty(display_, manager_, atoms_.visual, 0, 1, False, XA_VISUALID, &type,
                           &format, &count, &after, &data) == Success &&
        data != nullptr && type == XA_VISUALID && format == 32 && count == 1) {
      XVisualInfo wanted{};
      wanted.visualid = *reinterpret_cast<unsigned long*>(data);
      wanted.screen = screen_;
      int found = 0;
      XVisualInfo* info =
          XGetVisualInfo(display_, VisualIDMask | VisualScreenMask, &wanted, &found);
      if (info != nullptr && found > 0) {
        visual = info->visual;
        depth = info->depth;
      }
      if (info != nullptr) {
        XFree(info);
      }
    }
    if (data != nullptr) {
      XFree(data);
    }
  }
  XSetWindowAttributes attributes{};
  unsigned long mask = CWEventMask;
  attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask |
                          EnterWindowMask | LeaveWindowMask;
  if (visual == DefaultVisual(display_, screen_)) {
    attributes.background_pixmap = ParentRelative;
    mask |= CWBackPixmap;
  } else {
    colormap_ = XCreateColormap(display_, root_, visual, AllocNone);
    attributes.colormap = colormap_;
    attributes.background_pixel = 0;  // transparent
    attributes.border_pixel = 0;
    mask |= CWColormap | CWBackPixel | CWBorderPixel;
  }
  width_ = height_ = ui::DesktopScale::px(kRequestedSize);
  icon_ = XCreateWindow(display_, root_, 0, 0, static_cast<unsigned>(width_),
                        static_cast<unsigned>(height_), 0, depth, InputOutput, visual, mask,
                        &attributes);
  visual_ = visual;
  depth_ = depth;
  const Atom info = atoms_.embedInfo;
  const long embedInfo[2] = {kXembedVersion, kXembedMapped};
  XChangeProperty(display_, icon_, info, info, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(embedInfo), 2);
  XSizeHints hints{};
  hints.flags = PMinSize | PBaseSize;
  hints.min_width = hints.base_width = width_;
  hints.min_height = hints.base_height = height_;
  XSetWMNormalHints(display_, icon_, &hints);
  writeTip();

  XEvent request{};
  request.xclient.type = ClientMessage;
  request.xclient.window = manager_;
  request.xclient.message_type = atoms_.opcode;
  request.xclient.format = 32;
  request.xclient.data.l[0] = CurrentTime;
  request.xclient.data.l[1] = kRequestDock;
  request.xclient.data.l[2] = static_cast<long>(icon_);
  X11ErrorTrap trap(display_);
  XSendEvent(display_, manager_, False, NoEventMask, &request);
  trap.sync();
}

void X11TrayIcon::destroyIcon() {
  tipWindow_.cancel();
  if (icon_ != 0) {
    // The area sees the window go and takes the icon away.
    XDestroyWindow(display_, icon_);
    icon_ = 0;
  }
  if (colormap_ != 0) {
    XFreeColormap(display_, colormap_);
    colormap_ = 0;
  }
  docked_ = false;
  XFlush(display_);
}

void X11TrayIcon::writeTip() {
  const auto* text = reinterpret_cast<const unsigned char*>(tip_.data());
  const int length = static_cast<int>(tip_.size());
  XChangeProperty(display_, icon_, atoms_.name, atoms_.utf8, 8, PropModeReplace, text, length);
  XChangeProperty(display_, icon_, XA_WM_NAME, XA_STRING, 8, PropModeReplace, text, length);
}

void X11TrayIcon::paint() {
  if (icon_ == 0 || width_ <= 0 || height_ <= 0) {
    return;
  }
  // The area's background (or transparency) first, then the icon over it.
  XClearWindow(display_, icon_);
  if (picture_ != nullptr) {
    cairo_surface_t* target =
        cairo_xlib_surface_create(display_, icon_, static_cast<Visual*>(visual_), width_, height_);
    if (cairo_ == nullptr) {
      cairo_ = cairo_device_reference(cairo_surface_get_device(target));
    }
    cairo_t* cr = cairo_create(target);
    ui::icons::paintFitted(cr, picture_.get(), width_, height_);
    cairo_destroy(cr);
    cairo_surface_flush(target);
    cairo_surface_destroy(target);
  }
  XFlush(display_);
}

void X11TrayIcon::later(std::function<void()> work) {
  loop_.post([alive = std::weak_ptr<bool>(alive_), work = std::move(work)] {
    if (!alive.expired()) {
      work();
    }
  });
}

void X11TrayIcon::handle(XEvent& event) {
  switch (event.type) {
    case ClientMessage:
      if (event.xclient.window == root_ && event.xclient.message_type == atoms_.manager &&
          static_cast<unsigned long>(event.xclient.data.l[1]) == selection_) {
        findManager();
      }
      return;
    case DestroyNotify:
      if (event.xdestroywindow.window == manager_ && manager_ != 0) {
        // Another area may have taken the selection already.
        findManager();
      }
      return;
    case Expose:
      if (event.xexpose.window == tipWindow_.window() && event.xexpose.count == 0) {
        tipWindow_.paint();
        return;
      }
      break;
    default:
      break;
  }
  if (icon_ == 0 || event.xany.window != icon_) {
    return;
  }
  switch (event.type) {
    case ReparentNotify:
      docked_ = event.xreparent.parent != root_;
      if (docked_) {
        // The tray should map it (XEMBED_MAPPED), but not every one does when the icon comes
        // while it is still starting.
        XMapWindow(display_, icon_);
        XFlush(display_);
      } else {
        // An area that ended hands its icons back to the root, where they would sit in a
        // corner of the screen.
        XUnmapWindow(display_, icon_);
      }
      break;
    case ConfigureNotify:
      if (event.xconfigure.width != width_ || event.xconfigure.height != height_) {
        width_ = event.xconfigure.width;
        height_ = event.xconfigure.height;
        paint();
      }
      break;
    case Expose:
      if (event.xexpose.count == 0) {
        paint();
      }
      break;
    case EnterNotify:
      tipWindow_.arm(event.xcrossing.x_root, event.xcrossing.y_root);
      break;
    case LeaveNotify:
      tipWindow_.cancel();
      break;
    case ButtonPress: {
      tipWindow_.cancel();
      ui::TrayClick click = ui::TrayClick::kLeft;
      if (event.xbutton.button == Button2) {
        click = ui::TrayClick::kMiddle;
      } else if (event.xbutton.button == Button3) {
        click = ui::TrayClick::kRight;
      } else if (event.xbutton.button != Button1) {
        break;
      }
      // The press's own grab ends here, so that a menu opened from it can take the pointer.
      XUngrabPointer(display_, event.xbutton.time);
      XFlush(display_);
      const int x = event.xbutton.x_root;
      const int y = event.xbutton.y_root;
      later([&listener = listener_, click, x, y] { listener.onTrayClick(click, x, y); });
      break;
    }
    default:
      break;
  }
}

}  // namespace s::platform::x11

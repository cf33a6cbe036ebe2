#include "platform/x11/X11Display.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xfixes.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11ErrorTrap.h"
#include "platform/x11/X11Keys.h"
#include "platform/x11/X11Window.h"

namespace s::platform::x11 {

using ui::Event;
using ui::EventKind;
using ui::Rect;
using ui::WindowId;

namespace {

constexpr const char* kAtomNames[] = {
    "WM_PROTOCOLS",
    "WM_DELETE_WINDOW",
    "_NET_WM_PING",
    "_NET_WM_PID",
    "_NET_WM_NAME",
    "UTF8_STRING",
    "_NET_WM_ICON",
    "_NET_WM_STATE",
    "_NET_WM_STATE_ABOVE",
    "_NET_WM_STATE_SKIP_TASKBAR",
    "_NET_WM_STATE_MAXIMIZED_VERT",
    "_NET_WM_STATE_MAXIMIZED_HORZ",
    "_NET_WM_STATE_HIDDEN",
    "WM_STATE",
    "_NET_WM_WINDOW_TYPE",
    "_NET_WM_WINDOW_TYPE_NORMAL",
    "_NET_WM_WINDOW_TYPE_DIALOG",
    "_NET_WM_WINDOW_TYPE_POPUP_MENU",
    "_NET_ACTIVE_WINDOW",
    "_MOTIF_WM_HINTS",
    "CLIPBOARD",
    "XdndAware",
    "XdndEnter",
    "XdndPosition",
    "XdndStatus",
    "XdndLeave",
    "XdndDrop",
    "XdndFinished",
    "XdndSelection",
    "XdndTypeList",
    "XdndActionCopy",
    "text/uri-list",
    "NETVIGIL_DROP",
    "_XEMBED_INFO",
    "_NET_SYSTEM_TRAY_OPCODE",
};

constexpr long kEventMask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                            ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
                            LeaveWindowMask | FocusChangeMask | StructureNotifyMask |
                            PropertyChangeMask;

// The cursor font's glyph for each shape; libX11 takes the themed cursor of the same name
// where a cursor theme is installed.
unsigned int cursorGlyph(ui::PointerShape shape) {
  switch (shape) {
    case ui::PointerShape::kHand:
      return XC_hand2;
    case ui::PointerShape::kIBeam:
      return XC_xterm;
    case ui::PointerShape::kNotAllowed:
      return XC_X_cursor;
    case ui::PointerShape::kSizeLeft:
      return XC_left_side;
    case ui::PointerShape::kSizeRight:
      return XC_right_side;
    case ui::PointerShape::kSizeTop:
      return XC_top_side;
    case ui::PointerShape::kSizeBottom:
      return XC_bottom_side;
    case ui::PointerShape::kSizeTopLeft:
      return XC_top_left_corner;
    case ui::PointerShape::kSizeTopRight:
      return XC_top_right_corner;
    case ui::PointerShape::kSizeBottomLeft:
      return XC_bottom_left_corner;
    case ui::PointerShape::kSizeBottomRight:
      return XC_bottom_right_corner;
    case ui::PointerShape::kInherit:
    case ui::PointerShape::kArrow:
      break;
  }
  return XC_left_ptr;
}

// Xlib's default ends the process here; returning lets the display's exit handler run.
int returnFromIoError(Display* /*display*/) {
  return 0;
}

std::mutex lostHandlerLock;
std::function<void()>& lostHandler() {
  static std::function<void()> handler;
  return handler;
}

bool fitsVisual(const Visual* visual, int depth) {
  return visual->c_class == TrueColor && (depth == 24 || depth == 32) &&
         visual->red_mask == 0xFF0000 && visual->green_mask == 0xFF00 && visual->blue_mask == 0xFF;
}

}  // namespace

void X11Display::setConnectionLostHandler(std::function<void()> handler) {
  std::lock_guard<std::mutex> hold(lostHandlerLock);
  // Without a handler Xlib's own ends the process, as it always has.
  XSetIOErrorHandler(handler ? &returnFromIoError : nullptr);
  lostHandler() = std::move(handler);
}

void X11Display::connectionBroke(Display* /*display*/, void* self) {
  auto* display = static_cast<X11Display*>(self);
  if (display->lost_.exchange(true, std::memory_order_acq_rel)) {
    return;
  }
  // Nothing more comes from the server; the loop goes on carrying work and firing timers, so
  // that the program's shut-down runs on this thread as it always does.
  display->loop_.unwatch(display->connectionFd_);
  std::function<void()> handler;
  {
    std::lock_guard<std::mutex> hold(lostHandlerLock);
    handler = lostHandler();
  }
  if (!handler) {
    // Xlib's own exit handler would end the process here too.
    std::exit(1);
  }
  handler();
}

std::unique_ptr<X11Display> X11Display::open(const char* name, bool sharedMemory) {
  Display* display = openConnection(name);
  if (display == nullptr) {
    return nullptr;
  }
  const int screen = DefaultScreen(display);
  if (!fitsVisual(DefaultVisual(display, screen), DefaultDepth(display, screen))) {
    XCloseDisplay(display);
    return nullptr;
  }
  std::unique_ptr<X11Display> opened(new X11Display(display, sharedMemory));
  if (!opened->loop_.isOpen()) {
    return nullptr;
  }
  return opened;
}

X11Display::X11Display(Display* display, bool sharedMemory)
    : display_(display),
      screen_(DefaultScreen(display)),
      root_(RootWindow(display, screen_)),
      depth_(DefaultDepth(display, screen_)),
      sharedMemory_(sharedMemory && XShmQueryExtension(display) != 0),
      gc_(XCreateGC(display, root_, 0, nullptr)),
      connectionFd_(ConnectionNumber(display)),
      clipboard_(display) {
  XInternAtoms(display_, const_cast<char**>(kAtomNames), kAtomCount, False, atoms_);
  // Without this, a held key sends release-press pairs and hot keys would repeat.
  XkbSetDetectableAutoRepeat(display_, True, nullptr);
  XSetLocaleModifiers("");
  im_ = XOpenIM(display_, nullptr, nullptr, nullptr);
  int fixesEvent = 0;
  int fixesError = 0;
  if (XFixesQueryExtension(display_, &fixesEvent, &fixesError) != 0) {
    fixesEvent_ = fixesEvent;
  }
  // The connection only wakes the loop: drain() reads it every round, since Xlib may already
  // hold events it read while waiting for a reply.
  loop_.watch(connectionFd_, {});
  XSetIOErrorExitHandler(display_, &X11Display::connectionBroke, this);
}

X11Display::~X11Display() {
  if (lost_.load(std::memory_order_acquire)) {
    // Xlib is not called again once the connection broke: the call that failed may have left
    // the display's lock taken on the thread that made it, and the next call, from whichever
    // thread, would wait for ever. What the server held went with it, and the program is on
    // its way out: the windows' memory is left to the process's end.
    for (auto& entry : windows_) {
      static_cast<void>(entry.second.release());
    }
    return;
  }
  while (!hotKeys_.empty()) {
    ungrabHotKey(hotKeys_.back().id);
  }
  while (!windows_.empty()) {
    destroyWindow(windows_.begin()->first);
  }
  if (im_ != nullptr) {
    XCloseIM(im_);
  }
  for (unsigned long cursor : cursors_) {
    if (cursor != 0) {
      XFreeCursor(display_, cursor);
    }
  }
  XFreeGC(display_, gc_);
  XCloseDisplay(display_);
}

X11Display::Win* X11Display::find(WindowId window) {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : it->second.get();
}

bool X11Display::usesSharedMemory(WindowId window) const {
  auto it = windows_.find(window);
  return it != windows_.end() && it->second->buffer.usesShm();
}

int X11Display::screenWidth() const {
  return DisplayWidth(display_, screen_);
}
int X11Display::screenHeight() const {
  return DisplayHeight(display_, screen_);
}

WindowId X11Display::createWindow(const ui::WindowOptions& options) {
  const Rect& b = options.bounds;
  if (b.width <= 0 || b.height <= 0 || (options.owner != 0 && find(options.owner) == nullptr)) {
    return 0;
  }
  const Window trayManager = options.kind == ui::WindowKind::kTrayIcon ? trayManagerWindow() : 0;
  if (options.kind == ui::WindowKind::kTrayIcon && trayManager == 0) {
    return 0;
  }
  XSetWindowAttributes attributes{};
  // No background: the server must not clear what the back buffer is about to cover.
  attributes.background_pixmap = None;
  attributes.border_pixel = 0;
  attributes.event_mask = kEventMask;
  attributes.override_redirect = options.kind == ui::WindowKind::kPopup ? True : False;
  attributes.bit_gravity = NorthWestGravity;
  X11ErrorTrap trap(display_);
  const Window xid = XCreateWindow(
      display_, root_, b.x, b.y, static_cast<unsigned>(b.width), static_cast<unsigned>(b.height), 0,
      depth_, InputOutput, DefaultVisual(display_, screen_),
      CWBackPixmap | CWBorderPixel | CWEventMask | CWOverrideRedirect | CWBitGravity, &attributes);
  if (trap.sync() != Success || xid == 0) {
    return 0;
  }
  Win& win = *windows_.emplace(static_cast<WindowId>(xid), std::make_unique<Win>()).first->second;
  win.xid = xid;
  win.kind = options.kind;
  win.bounds = b;
  win.positioned = options.positioned || options.kind == ui::WindowKind::kPopup;
  if (options.kind == ui::WindowKind::kTrayIcon) {
    // What the notification area reads as the size the icon asks for.
    win.minWidth = b.width;
    win.minHeight = b.height;
  }
  if (!win.buffer.create(display_, DefaultVisual(display_, screen_), depth_, b.width, b.height,
                         sharedMemory_)) {
    destroyWindow(static_cast<WindowId>(xid));
    return 0;
  }

  Atom protocols[] = {atom(kWmDeleteWindow), atom(kNetWmPing)};
  XSetWMProtocols(display_, xid, protocols, 2);
  const long pid = getpid();
  XChangeProperty(display_, xid, atom(kNetWmPid), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pid), 1);
  // _NET_WM_PID only means something together with the machine it counts on.
  char host[HOST_NAME_MAX + 1] = {};
  if (gethostname(host, sizeof host - 1) == 0) {
    XChangeProperty(display_, xid, XA_WM_CLIENT_MACHINE, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(host),
                    static_cast<int>(std::strlen(host)));
  }
  XClassHint classHint{const_cast<char*>("netvigil"), const_cast<char*>("Netvigil")};
  XSetClassHint(display_, xid, &classHint);
  const Atom type = options.kind == ui::WindowKind::kDialog  ? atom(kNetWmWindowTypeDialog)
                    : options.kind == ui::WindowKind::kPopup ? atom(kNetWmWindowTypePopupMenu)
                                                             : atom(kNetWmWindowTypeNormal);
  XChangeProperty(display_, xid, atom(kNetWmWindowType), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&type), 1);
  if (options.owner != 0) {
    XSetTransientForHint(display_, xid, static_cast<Window>(options.owner));
  }
  writeNormalHints(win);
  setTitle(static_cast<WindowId>(xid), options.title);
  // Otherwise the window shows its parent's cursor, the root's, which is no pointer at all.
  setCursor(static_cast<WindowId>(xid), ui::PointerShape::kArrow);
  if (im_ != nullptr) {
    win.xic = XCreateIC(im_, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow,
                        xid, XNFocusWindow, xid, nullptr);
    if (win.xic != nullptr) {
      long filter = 0;
      XGetICValues(win.xic, XNFilterEvents, &filter, nullptr);
      XSelectInput(display_, xid, kEventMask | filter);
    }
  }
  if (options.kind == ui::WindowKind::kTrayIcon) {
    dockInTray(xid, trayManager);
  }
  return static_cast<WindowId>(xid);
}

void X11Display::destroyWindow(WindowId window) {
  Win* win = find(window);
  if (win == nullptr) {
    return;
  }
  if (win->xic != nullptr) {
    XDestroyIC(win->xic);
  }
  win->buffer.destroy();
  clipboard_.forget(win->xid);
  XDestroyWindow(display_, win->xid);
  windows_.erase(window);
  XFlush(display_);
}

bool X11Display::show(WindowId window, bool activate) {
  Win* win = find(window);
  if (win == nullptr) {
    return false;
  }
  if (win->startsIconic) {
    setInitialState(*win, NormalState);
  }
  if (activate) {
    win->focusOnMap = true;
    XMapRaised(display_, win->xid);
    if (win->mapped) {
      sendToRoot(win->xid, atom(kNetActiveWindow), 1, CurrentTime, 0);
    }
  } else {
    XMapWindow(display_, win->xid);
  }
  XFlush(display_);
  return true;
}

bool X11Display::hide(WindowId window) {
  Win* win = find(window);
  if (win == nullptr) {
    return false;
  }
  // Withdrawing (not only unmapping) tells the window manager to forget the frame too.
  XWithdrawWindow(display_, win->xid, screen_);
  XFlush(display_);
  return true;
}

bool X11Display::move(WindowId window, int x, int y) {
  Win* win = find(window);
  if (win == nullptr) {
    return false;
  }
  win->bounds.x = x;
  win->bounds.y = y;
  win->positioned = true;
  writeNormalHints(*win);
  XMoveWindow(display_, win->xid, x, y);
  return true;
}

bool X11Display::resize(WindowId window, int width, int height) {
  Win* win = find(window);
  if (win == nullptr || width <= 0 || height <= 0) {
    return false;
  }
  if (width != win->bounds.width || height != win->bounds.height) {
    if (!win->buffer.create(display_, DefaultVisual(display_, screen_), depth_, width, height,
                            sharedMemory_)) {
      return false;
    }
    win->bounds.width = width;
    win->bounds.height = height;
  }
  XResizeWindow(display_, win->xid, static_cast<unsigned>(width), static_cast<unsigned>(height));
  return true;
}

Rect X11Display::bounds(WindowId window) const {
  auto it = windows_.find(window);
  return it == windows_.end() ? Rect{} : it->second->bounds;
}

bool X11Display::setTitle(WindowId window, std::string_view utf8) {
  Win* win = find(window);
  if (win == nullptr) {
    return false;
  }
  const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
  const int length = static_cast<int>(utf8.size());
  XChangeProperty(display_, win->xid, atom(kNetWmName), atom(kUtf8String), 8, PropModeReplace,
                  bytes, length);
  // For window managers that know no EWMH: the same bytes, as the ICCCM allows UTF8_STRING.
  XChangeProperty(display_, win->xid, XA_WM_NAME, atom(kUtf8String), 8, PropModeReplace, bytes,
                  length);
  return true;
}

bool X11Display::setIcon(WindowId window, const std::uint32_t* argb, int width, int height) {
  Win* win = find(window);
  if (win == nullptr || argb == nullptr || width <= 0 || height <= 0) {
    return false;
  }
  // Format 32 properties travel as longs on the client side, whatever their width.
  std::vector<long> data;
  data.reserve(2 + static_cast<std::size_t>(width) * height);
  data.push_back(width);
  data.push_back(height);
  data.insert(data.end(), argb, argb + static_cast<std::ptrdiff_t>(width) * height);
  XChangeProperty(display_, win->xid, atom(kNetWmIcon), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(data.data()),
                  static_cast<int>(data.size()));
  return true;
}

void X11Display::writeNormalHints(const Win& win) {
  XSizeHints hints{};
  if (win.positioned) {
    hints.flags |= USPosition | PPosition;
    hints.x = win.bounds.x;
    hints.y = win.bounds.y;
  }
  if (win.minWidth > 0 || win.minHeight > 0) {
    hints.flags |= PMinSize;
    hints.min_width = win.minWidth;
    hints.min_height = win.minHeight;
  }
  if (win.maxWidth > 0 || win.maxHeight > 0) {
    hints.flags |= PMaxSize;
    hints.max_width = win.maxWidth > 0 ? win.maxWidth : INT_MAX;
    hints.max_height = win.maxHeight > 0 ? win.maxHeight : INT_MAX;
  }
  XSetWMNormalHints(display_, win.xid, &hints);
}

bool X11Display::setSizeLimits(WindowId window, int minWidth, int minHeight, int maxWidth,
                               int maxHeight) {
  Win* win = find(window);
  if (win == nullptr) {
    return false;
  }
  win->minWidth = std::max(minWidth, 0);
  win->minHeight = std::max(minHeight, 0);
  win->maxWidth = std::max(maxWidth, 0);
  win->maxHeight = std::max(maxHeight, 0);
  writeNormalHints(*win);
  return true;
}

bool X11Display::setDecorated(WindowId window, bool decorated) {
  Win* win = find(window);
  if (win == nullptr) {
    return false;
  }
  // The Motif hints: flags (2 = decorations given), functions, decorations, input mode, status.
  const long hints[5] = {2, 0, decorated ? 1 : 0, 0, 0};
  XChangeProperty(display_, win->xid, atom(kMotifWmHints), atom(kMotifWmHints), 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(hints), 5);
  return true;
}

void X11Display::sendToRoot(XWindow window, XAtom type, long a, long b, long c) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = type;
  event.xclient.format = 32;
  event.xclient.data.l[0] = a;
  event.xclient.data.l[1] = b;
  event.xclient.data.l[2] = c;
  event.xclient.data.l[3] = 1;  // from an application
  XSendEvent(display_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

void X11Display::writeState(const Win& win) {
  std::vector<Atom> states;
  if (win.above) {
    states.push_back(atom(kNetWmStateAbove));
  }
  if (win.skipTaskbar) {
    states.push_back(atom(kNetWmStateSkipTaskbar));
  }
  if (win.maximized) {
    states.push_back(atom(kNetWmStateMaximizedVert));
    states.push_back(atom(kNetWmStateMaximizedHorz));
  }
  XChangeProperty(display_, win.xid, atom(kNetWmState), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(states.data()),
                  static_cast<int>(states.size()));
}

// The window manager owns _NET_WM_STATE of a mapped window: ask it by message; before mapping
// the property itself is the request.
void X11Display::changeState(Win& win, bool on, XAtom first, XAtom second) {
  if (win.mapped) {
    sendToRoot(win.xid, atom(kNetWmState), on ? 1 : 0, static_cast<long>(first),
               static_cast<long>(second));
  }
  writeState(win);
  XFlush(display_);
}

bool X11Display::setKeepOnTop(WindowId window, bool above) {
  Win* win = find(window);
  if (win == nullptr) {
    return false;
  }
  win->above = above;
  changeState(*win, above, atom(kNetWmStateAbove), 0);
  return true;
}

bool X11Display::setSkipTaskbar(WindowId window, bool skip) {
  Win* win = find(window);
  if (win == nullptr) {
    return false;
  }
  win->skipTaskbar = skip;
  changeState(*win, skip, atom(kNetWmStateSkipTaskbar), 0);
  return true;
}

bool X11Display::setMaximized(WindowId window, bool maximized) {
  Win* win = find(window);
  if (win == nullptr) {
    return false;
  }
  win->maximized = maximized;
  changeState(*win, maximized, atom(kNetWmStateMaximizedVert), atom(kNetWmStateMaximizedHorz));
  return true;
}

bool X11Display::iconify(WindowId window) {
  Win* win = find(window);
  if (win == nullptr) {
    return false;
  }
  if (win->mapped) {
    return XIconifyWindow(display_, win->xid, screen_) != 0;
  }
  // A withdrawn window goes to the taskbar by being mapped with the iconic initial state.
  setInitialState(*win, IconicState);
  XMapWindow(display_, win->xid);
  XFlush(display_);
  return true;
}

void X11Display::setInitialState(Win& win, int state) {
  XWMHints* hints = XGetWMHints(display_, win.xid);
  XWMHints fresh{};
  XWMHints& write = hints != nullptr ? *hints : fresh;
  write.flags |= StateHint;
  write.initial_state = state;
  XSetWMHints(display_, win.xid, &write);
  if (hints != nullptr) {
    XFree(hints);
  }
  win.startsIconic = state == IconicState;
}

bool X11Display::grabPointer(WindowId window) {
  Win* win = find(window);
  if (win == nullptr) {
    return false;
  }
  const unsigned int mask =
      ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask | LeaveWindowMask;
  if (XGrabPointer(display_, win->xid, True, mask, GrabModeAsync, GrabModeAsync, None, None,
                   CurrentTime) != GrabSuccess) {
    return false;
  }
  // The keys follow the pointer (a menu's arrows, Escape); without them the pointer still works.
  XGrabKeyboard(display_, win->xid, True, GrabModeAsync, GrabModeAsync, CurrentTime);
  return true;
}

void X11Display::ungrabPointer() {
  XUngrabPointer(display_, CurrentTime);
  XUngrabKeyboard(display_, CurrentTime);
  XFlush(display_);
}

bool X11Display::watchClipboard(WindowId window, bool watch) {
  Win* win = find(window);
  if (win == nullptr || fixesEvent_ < 0) {
    return false;
  }
  const unsigned long changes = XFixesSetSelectionOwnerNotifyMask |
                                XFixesSelectionWindowDestroyNotifyMask |
                                XFixesSelectionClientCloseNotifyMask;
  XFixesSelectSelectionInput(display_, win->xid, atom(kClipboard), watch ? changes : 0);
  XFlush(display_);
  return true;
}

bool X11Display::setClipboardText(WindowId window, std::string_view utf8) {
  Win* win = find(window);
  return win != nullptr && clipboard_.offer(win->xid, utf8);
}

bool X11Display::setCursor(WindowId window, ui::PointerShape shape) {
  Win* win = find(window);
  if (win == nullptr) {
    return false;
  }
  if (shape == ui::PointerShape::kInherit) {
    shape = ui::PointerShape::kArrow;
  }
  unsigned long& cursor = cursors_[static_cast<int>(shape)];
  if (cursor == 0) {
    cursor = XCreateFontCursor(display_, cursorGlyph(shape));
  }
  XDefineCursor(display_, win->xid, cursor);
  XFlush(display_);
  return true;
}

cairo_surface_t* X11Display::backBuffer(WindowId window) {
  Win* win = find(window);
  return win == nullptr ? nullptr : win->buffer.surface();
}

bool X11Display::present(WindowId window, const Rect& damage) {
  Win* win = find(window);
  if (win == nullptr) {
    return false;
  }
  win->buffer.present(win->xid, gc_, damage);
  return true;
}

bool X11Display::dispatch(ui::IEventSink& sink, int timeoutMs) {
  return loop_.dispatch(sink, timeoutMs, [this, &sink] { return drain(sink); });
}

bool X11Display::drain(ui::IEventSink& sink) {
  if (connectionLost()) {
    return false;
  }
  bool any = false;
  // XPending flushes the requests made so far, so nothing waits unsent while the loop sleeps.
  while (XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    handle(event, sink);
    any = true;
  }
  return any;
}

void X11Display::handle(XEvent& event, ui::IEventSink& sink) {
  if (XFilterEvent(&event, None) != 0) {
    return;
  }
  if ((event.type == KeyPress || event.type == KeyRelease) && event.xkey.window == root_) {
    handleHotKey(event, sink);
    return;
  }
  if (event.type == MappingNotify) {
    XRefreshKeyboardMapping(&event.xmapping);
    return;
  }
  Win* win = find(static_cast<WindowId>(event.xany.window));
  if (win == nullptr) {
    return;
  }
  Event out;
  out.window = static_cast<WindowId>(win->xid);
  if (fixesEvent_ >= 0 && event.type == fixesEvent_ + XFixesSelectionNotify) {
    out.kind = EventKind::kClipboardChanged;
    sink.onPlatformEvent(out);
    return;
  }
  switch (event.type) {
    case ButtonPress:
    case ButtonRelease: {
      const XButtonEvent& b = event.xbutton;
      out.x = b.x;
      out.y = b.y;
      out.rootX = b.x_root;
      out.rootY = b.y_root;
      out.modifiers = fromXState(b.state);
      out.timeMs = b.time;
      if (b.button >= 4 && b.button <= 7) {
        // Wheel steps arrive as presses of buttons 4 (up) and 5 (down); 6 and 7 are sideways.
        if (event.type == ButtonRelease || b.button > 5) {
          return;
        }
        out.kind = EventKind::kWheel;
        out.wheel = b.button == 4 ? 1 : -1;
      } else {
        out.kind = event.type == ButtonPress ? EventKind::kButtonPress : EventKind::kButtonRelease;
        out.button = b.button;
      }
      break;
    }
    case MotionNotify: {
      const XMotionEvent& m = event.xmotion;
      out.kind = EventKind::kMotion;
      out.x = m.x;
      out.y = m.y;
      out.rootX = m.x_root;
      out.rootY = m.y_root;
      out.modifiers = fromXState(m.state);
      out.timeMs = m.time;
      break;
    }
    case KeyPress:
    case KeyRelease:
      handleKey(event, *win, sink);
      return;
    case EnterNotify:
    case LeaveNotify: {
      const XCrossingEvent& c = event.xcrossing;
      out.kind = event.type == EnterNotify ? EventKind::kEnter : EventKind::kLeave;
      if (event.type == LeaveNotify && c.mode == NotifyGrab) {
        out.kind = EventKind::kPointerGrabLost;
      }
      out.x = c.x;
      out.y = c.y;
      out.rootX = c.x_root;
      out.rootY = c.y_root;
      out.modifiers = fromXState(c.state);
      out.timeMs = c.time;
      break;
    }
    case FocusIn:
    case FocusOut: {
      const XFocusChangeEvent& f = event.xfocus;
      // A keyboard grab (our hot keys among them) moves the focus only for a moment.
      if (f.mode == NotifyGrab || f.mode == NotifyUngrab || f.detail == NotifyPointer) {
        return;
      }
      out.kind = event.type == FocusIn ? EventKind::kFocusIn : EventKind::kFocusOut;
      if (win->xic != nullptr) {
        event.type == FocusIn ? XSetICFocus(win->xic) : XUnsetICFocus(win->xic);
      }
      break;
    }
    case Expose: {
      // The back buffer holds the whole window, so exposed parts are restored from it here.
      const XExposeEvent& e = event.xexpose;
      win->buffer.present(win->xid, gc_, {e.x, e.y, e.width, e.height});
      return;
    }
    case ConfigureNotify:
      handleConfigure(event, *win, sink);
      return;
    case MapNotify:
      win->mapped = true;
      out.kind = EventKind::kMap;
      if (win->focusOnMap) {
        win->focusOnMap = false;
        X11ErrorTrap trap(display_);
        XSetInputFocus(display_, win->xid, RevertToParent, CurrentTime);
        sendToRoot(win->xid, atom(kNetActiveWindow), 1, CurrentTime, 0);
      }
      break;
    case UnmapNotify:
      win->mapped = false;
      out.kind = EventKind::kUnmap;
      break;
    case SelectionNotify:
      handleDropData(event, *win, sink);
      return;
    case ReparentNotify:
      handleReparent(event, *win);
      return;
    case PropertyNotify:
      handleStateProperty(event, *win, sink);
      return;
    case SelectionRequest:
    case SelectionClear:
      clipboard_.handle(event);
      return;
    case ClientMessage: {
      const XClientMessageEvent& m = event.xclient;
      if (handleDnd(event, *win, sink)) {
        return;
      }
      if (m.message_type != atom(kWmProtocols) || m.format != 32) {
        return;
      }
      const auto protocol = static_cast<Atom>(m.data.l[0]);
      if (protocol == atom(kNetWmPing)) {
        // The window manager asks whether we still answer: send it back to the root.
        XEvent reply = event;
        reply.xclient.window = root_;
        XSendEvent(display_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask,
                   &reply);
        return;
      }
      if (protocol != atom(kWmDeleteWindow)) {
        return;
      }
      out.kind = EventKind::kCloseRequest;
      break;
    }
    default:
      return;
  }
  sink.onPlatformEvent(out);
}

void X11Display::handleConfigure(XEvent& event, Win& win, ui::IEventSink& sink) {
  const XConfigureEvent& configure = event.xconfigure;
  Rect now{configure.x, configure.y, configure.width, configure.height};
  // A real event gives the position inside the window manager's frame, a synthetic one (sent
  // by the window manager) the position on the screen.
  if (configure.send_event == False) {
    Window child = 0;
    XTranslateCoordinates(display_, win.xid, root_, 0, 0, &now.x, &now.y, &child);
  }
  if ((now.width != win.bounds.width || now.height != win.bounds.height) &&
      !win.buffer.create(display_, DefaultVisual(display_, screen_), depth_, now.width, now.height,
                         sharedMemory_)) {
    now.width = win.bounds.width;
    now.height = win.bounds.height;
  }
  win.bounds = now;
  Event out;
  out.kind = EventKind::kConfigure;
  out.window = static_cast<WindowId>(win.xid);
  out.rootX = now.x;
  out.rootY = now.y;
  out.width = now.width;
  out.height = now.height;
  sink.onPlatformEvent(out);
}

}  // namespace s::platform::x11

#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/EventLoop.h"
#include "platform/ui/IDisplay.h"
#include "platform/x11/X11Clipboard.h"

// Xlib's own names, declared here so that this header does not bring in Xlib's macros.
struct _XDisplay;
struct _XGC;
struct _XIM;
union _XEvent;

namespace s::platform::x11 {

// The display on an X server through Xlib. Each user-interface thread opens its own connection
// and owns the windows it creates; the loop polls the connection, an eventfd and a timerfd.
// Needs a TrueColor default visual of 24 or 32 bits with 8-bit channels (what every X server
// of our time offers), so that cairo's RGB24 pixels go to the screen without conversion.
class X11Display final : public ui::IDisplay {
 public:
  // nullptr when the server cannot be reached or its visual does not fit. `name` nullptr: the
  // DISPLAY variable. `sharedMemory` false keeps the blit on XPutImage even where XShm works.
  static std::unique_ptr<X11Display> open(const char* name, bool sharedMemory = true);

  ~X11Display() override;
  X11Display(const X11Display&) = delete;
  X11Display& operator=(const X11Display&) = delete;

  // Told, on the display's own thread, when a display's connection to the server breaks (the
  // server ended, the session went). Set it before the displays are opened. Instead of ending
  // the process, as Xlib does without one, the display then stops waiting for the server and
  // its loop goes on without a screen (carried work, timers), so that the program can end in
  // good order. The handler must not call Xlib: it runs inside Xlib's error path.
  static void setConnectionLostHandler(std::function<void()> handler);
  bool connectionLost() const { return lost_.load(std::memory_order_acquire); }

  _XDisplay* native() const { return display_; }
  // Whether the window's back buffer is shared with the server (XShm).
  bool usesSharedMemory(ui::WindowId window) const;

  ui::WindowId createWindow(const ui::WindowOptions& options) override;
  void destroyWindow(ui::WindowId window) override;
  bool show(ui::WindowId window, bool activate) override;
  bool hide(ui::WindowId window) override;
  bool move(ui::WindowId window, int x, int y) override;
  bool resize(ui::WindowId window, int width, int height) override;
  ui::Rect bounds(ui::WindowId window) const override;
  bool setTitle(ui::WindowId window, std::string_view utf8) override;
  bool setIcon(ui::WindowId window, const std::uint32_t* argb, int width, int height) override;
  bool setKeepOnTop(ui::WindowId window, bool above) override;
  bool setSizeLimits(ui::WindowId window, int minWidth, int minHeight, int maxWidth,
                     int maxHeight) override;
  bool setDecorated(ui::WindowId window, bool decorated) override;
  bool setSkipTaskbar(ui::WindowId window, bool skip) override;
  bool iconify(ui::WindowId window) override;
  bool setMaximized(ui::WindowId window, bool maximized) override;
  bool grabPointer(ui::WindowId window) override;
  void ungrabPointer() override;
  bool setCursor(ui::WindowId window, ui::PointerShape shape) override;
  // Needs the XFixes extension.
  bool watchClipboard(ui::WindowId window, bool watch) override;
  bool setClipboardText(ui::WindowId window, std::string_view utf8) override;
  // The target side of XDND (version 5) for text/uri-list drags.
  bool setDropTarget(ui::WindowId window, bool accept) override;
  void answerDrag(bool accept) override { dragAnswer_ = accept; }
  std::string_view droppedText() const override { return dropped_; }
  int screenWidth() const override;
  int screenHeight() const override;
  // From XRandR (X11Monitors.cpp).
  std::vector<ui::Rect> monitors() const override;
  // The window-manager requests of EWMH (X11WmRequests.cpp).
  bool beginMoveResize(ui::WindowId window, ui::MoveResize how, int rootX, int rootY,
                       std::uint32_t button) override;
  bool activate(ui::WindowId window) override;
  cairo_surface_t* backBuffer(ui::WindowId window) override;
  bool present(ui::WindowId window, const ui::Rect& damage) override;
  bool grabHotKey(std::uint32_t id, std::uint32_t modifiers, std::uint32_t keysym) override;
  void ungrabHotKey(std::uint32_t id) override;
  int hotKeyError() const override { return hotKeyError_; }
  ui::EventLoop& loop() override { return loop_; }
  bool dispatch(ui::IEventSink& sink, int timeoutMs) override;

 private:
  enum AtomName : int {
    kWmProtocols,
    kWmDeleteWindow,
    kNetWmPing,
    kNetWmPid,
    kNetWmName,
    kUtf8String,
    kNetWmIcon,
    kNetWmState,
    kNetWmStateAbove,
    kNetWmStateSkipTaskbar,
    kNetWmStateMaximizedVert,
    kNetWmStateMaximizedHorz,
    kNetWmStateHidden,
    kWmState,
    kNetWmWindowType,
    kNetWmWindowTypeNormal,
    kNetWmWindowTypeDialog,
    kNetWmWindowTypePopupMenu,
    kNetActiveWindow,
    kMotifWmHints,
    kClipboard,
    kXdndAware,
    kXdndEnter,
    kXdndPosition,
    kXdndStatus,
    kXdndLeave,
    kXdndDrop,
    kXdndFinished,
    kXdndSelection,
    kXdndTypeList,
    kXdndActionCopy,
    kTextUriList,
    kDropProperty,
    kXembedInfo,
    kNetSystemTrayOpcode,
    kAtomCount,
  };

  struct Win;  // an X window with its back buffer and input context

  // The drag in progress over one of our windows, as its source announced it.
  struct Drag {
    unsigned long source = 0;
    ui::WindowId target = 0;
    bool offersUris = false;
    int x = 0;  // the last position, in the target window
    int y = 0;
    unsigned long time = 0;
    bool accepted = false;
    bool awaitingData = false;
  };

  struct HotKey {
    std::uint32_t id;
    unsigned char keycode;
    unsigned int modifiers;
    bool down;
  };

  using XAtom = unsigned long;
  using XWindow = unsigned long;

  X11Display(_XDisplay* display, bool sharedMemory);
  Win* find(ui::WindowId window);
  XAtom atom(AtomName which) const { return atoms_[which]; }
  void writeNormalHints(const Win& win);
  void writeState(const Win& win);
  // WM_HINTS' initial state (NormalState or IconicState), read when the window is next mapped.
  void setInitialState(Win& win, int state);
  void changeState(Win& win, bool on, XAtom first, XAtom second);
  void sendToRoot(XWindow window, XAtom type, long a, long b, long c);
  bool drain(ui::IEventSink& sink);
  void handle(_XEvent& event, ui::IEventSink& sink);
  void handleKey(_XEvent& event, Win& win, ui::IEventSink& sink);
  void handleHotKey(_XEvent& event, ui::IEventSink& sink);
  void handleConfigure(_XEvent& event, Win& win, ui::IEventSink& sink);
  // The window manager's state of a top-level window (X11WmState.cpp): told as kStateChanged
  // when a change of WM_STATE or _NET_WM_STATE changes it.
  void handleStateProperty(_XEvent& event, Win& win, ui::IEventSink& sink);
  ui::WmState readWmState(XWindow window) const;
  // True when the client message belonged to XDND.
  bool handleDnd(_XEvent& event, Win& win, ui::IEventSink& sink);
  void handleDropData(_XEvent& event, Win& win, ui::IEventSink& sink);
  void sendDnd(unsigned long to, XAtom type, long a, long b, long c, long d, long e);
  void finishDrop(bool accepted);
  // The XEmbed system tray (X11Tray.cpp): the window of the screen's notification area, 0 when
  // none runs; asking it to embed a window; a tray icon left on the root when the tray went.
  XWindow trayManagerWindow();
  void dockInTray(XWindow window, XWindow manager);
  void handleReparent(_XEvent& event, Win& win);
  // Xlib's handler after an I/O error on the connection; returning keeps the process alive.
  static void connectionBroke(_XDisplay* display, void* self);

  _XDisplay* display_;
  int screen_;
  XWindow root_;
  int depth_;
  bool sharedMemory_;
  _XGC* gc_;
  int connectionFd_;
  _XIM* im_ = nullptr;
  XAtom atoms_[kAtomCount] = {};
  ui::EventLoop loop_;
  std::atomic<bool> lost_{false};
  std::map<ui::WindowId, std::unique_ptr<Win>> windows_;
  std::vector<HotKey> hotKeys_;
  int hotKeyError_ = 0;
  // The XFixes extension's first event number; -1 without it.
  int fixesEvent_ = -1;
  Drag drag_;
  bool dragAnswer_ = false;
  std::string dropped_;
  X11Clipboard clipboard_;
  // Font cursors, made on first use (0 until then).
  unsigned long cursors_[ui::kPointerShapeCount] = {};
};

}  // namespace s::platform::x11

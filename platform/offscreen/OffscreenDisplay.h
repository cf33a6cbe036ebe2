#pragma once

#include <cairo.h>

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/EventLoop.h"
#include "platform/ui/IDisplay.h"

namespace s::platform::offscreen {

// The display without a screen: windows are records, back buffers are cairo image surfaces, and
// present() copies the damaged part into a second surface that stands for what the screen shows.
// Input comes from inject() (any thread); window requests report themselves as the X server
// would (kConfigure after a move or resize, kMap/kUnmap, kFocusIn on an activating show,
// kPointerGrabLost to the window that held the pointer, by a press or a grab, when
// grabPointer() gives it to another).
// Hot keys are exclusive across all offscreen displays of the process, as on one X server.
class OffscreenDisplay final : public ui::IDisplay {
 public:
  // What a test can see of a window.
  struct WindowState {
    ui::WindowOptions options;  // options.title is not kept; see title
    ui::Rect bounds;
    std::string title;
    bool shown = false;
    bool keepOnTop = false;
    bool decorated = true;
    bool skipTaskbar = false;
    bool iconified = false;
    bool maximized = false;
    int minWidth = 0;
    int minHeight = 0;
    int maxWidth = 0;
    int maxHeight = 0;
    ui::PointerShape cursor = ui::PointerShape::kArrow;
    // The last drag handed to the window manager (beginMoveResize), and how many were.
    ui::MoveResize moveResize = ui::MoveResize::kMove;
    int moveResizeCount = 0;
    int activations = 0;
    bool watchesClipboard = false;
    bool dropTarget = false;
    std::vector<std::uint32_t> icon;  // width, height, then the pixels
    std::vector<ui::Rect> presented;  // every present() in order, clipped to the window
    cairo_surface_t* back = nullptr;
    cairo_surface_t* front = nullptr;
  };

  explicit OffscreenDisplay(int screenWidth = 1024, int screenHeight = 768);
  // Monitors side by side or apart, as XRandR would report them (on the display's thread
  // before use); one of the screen's size by default.
  void setMonitors(std::vector<ui::Rect> monitors) { monitors_ = std::move(monitors); }
  ~OffscreenDisplay() override;
  OffscreenDisplay(const OffscreenDisplay&) = delete;
  OffscreenDisplay& operator=(const OffscreenDisplay&) = delete;

  bool isOpen() const { return loop_.isOpen(); }

  // Queues an input event (any thread); dispatch() delivers injected events in order. A
  // kKeyPress for window 0 is a key pressed on the desktop: it becomes kHotKey when it matches a
  // hot key this display holds.
  void inject(const ui::Event& event);

  // Another program drags a uri-list onto the window to (x, y) and drops it there (any thread):
  // a kDragOver, then a kDrop, both only for a window that is a drop target.
  void injectDrop(ui::WindowId window, int x, int y, std::string uriList);
  // What the window answered to each delivered kDragOver and kDrop, in order.
  const std::vector<bool>& dragAnswers() const { return dragAnswers_; }

  // Another program took the clipboard: the windows that watch it hear of it, and what a window
  // of ours offered is gone. On the display's thread.
  void changeClipboard();
  // What a window offered on the clipboard (empty when none), and which window.
  const std::string& clipboardText() const { return clipboardText_; }
  ui::WindowId clipboardOwner() const { return clipboardOwner_; }

  const WindowState* state(ui::WindowId window) const;
  // The windows that exist, oldest first.
  std::vector<ui::WindowId> windows() const;
  // The presented pixel as 0xRRGGBB; 0 outside the window.
  std::uint32_t pixel(ui::WindowId window, int x, int y) const;
  bool writePng(ui::WindowId window, const std::string& path) const;
  ui::WindowId pointerGrab() const { return pointerGrab_; }

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
  bool watchClipboard(ui::WindowId window, bool watch) override;
  bool setClipboardText(ui::WindowId window, std::string_view utf8) override;
  bool setDropTarget(ui::WindowId window, bool accept) override;
  void answerDrag(bool accept) override { dragAnswer_ = accept; }
  std::string_view droppedText() const override { return dropped_; }
  int screenWidth() const override { return screenWidth_; }
  int screenHeight() const override { return screenHeight_; }
  std::vector<ui::Rect> monitors() const override;
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
  struct HotKey {
    std::uint32_t id;
    std::uint32_t modifiers;
    std::uint32_t keysym;
  };

  WindowState* find(ui::WindowId window);
  void queue(const ui::Event& event);
  void queueConfigure(ui::WindowId window, const WindowState& state);
  bool drain(ui::IEventSink& sink);
  void deliverDrag(const ui::Event& event, ui::IEventSink& sink);
  void tellClipboardWatchers();

  int screenWidth_;
  int screenHeight_;
  std::vector<ui::Rect> monitors_;
  ui::EventLoop loop_;
  std::map<ui::WindowId, WindowState> windows_;
  ui::WindowId nextId_ = 1;
  ui::WindowId pointerGrab_ = 0;
  // The window an injected press holds the pointer for (the X server's implicit grab) and the
  // buttons held.
  ui::WindowId pressedIn_ = 0;
  std::uint32_t pressedButtons_ = 0;
  std::vector<HotKey> hotKeys_;
  int hotKeyError_ = 0;
  std::mutex eventsLock_;
  std::deque<ui::Event> events_;
  std::deque<std::string> drops_;  // the uri-lists of queued kDrop events, in order
  std::string dropped_;
  bool dragAnswer_ = false;
  std::string clipboardText_;
  ui::WindowId clipboardOwner_ = 0;
  std::vector<bool> dragAnswers_;
};

}  // namespace s::platform::offscreen

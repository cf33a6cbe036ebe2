#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ui/EventLoop.h"
#include "platform/ui/IEventSink.h"
#include "platform/ui/MoveResize.h"
#include "platform/ui/PointerShape.h"
#include "platform/ui/Rect.h"
#include "platform/ui/WindowOptions.h"

namespace s::platform::ui {

// One user-interface thread's connection to the screen: its windows, their back buffers, input,
// timers and the loop that delivers them. Everything is called on the thread that made the
// display, except what the loop lets any thread call (post(), quit(), runSync()).
//
// Painting: every window has a back buffer, a cairo image surface of the window's size
// (CAIRO_FORMAT_RGB24). Draw into it, then present() the damaged rectangle to copy it to the
// screen. The surface is replaced when the window is resized (its old content is kept in the
// top-left corner), so fetch it again with backBuffer() after a resize instead of keeping it.
// Exposed parts of a window are restored from the back buffer without the toolkit's help.
class IDisplay {
 public:
  virtual ~IDisplay() = default;

  // Windows. Operations on an unknown window answer false (or do nothing).
  virtual WindowId createWindow(const WindowOptions& options) = 0;  // 0 on failure
  virtual void destroyWindow(WindowId window) = 0;
  virtual bool show(WindowId window, bool activate) = 0;
  virtual bool hide(WindowId window) = 0;
  virtual bool move(WindowId window, int x, int y) = 0;
  virtual bool resize(WindowId window, int width, int height) = 0;
  // Screen position and size as last requested or reported; empty for an unknown window.
  virtual Rect bounds(WindowId window) const = 0;
  virtual bool setTitle(WindowId window, std::string_view utf8) = 0;
  // Pixels are 0xAARRGGBB, not premultiplied, row by row.
  virtual bool setIcon(WindowId window, const std::uint32_t* argb, int width, int height) = 0;
  virtual bool setKeepOnTop(WindowId window, bool above) = 0;
  // Size limits for the user's resizing; a maximum of 0 or less is unlimited. Equal limits make
  // a window that cannot be resized.
  virtual bool setSizeLimits(WindowId window, int minWidth, int minHeight, int maxWidth,
                             int maxHeight) = 0;
  // Whether the window manager draws its frame (off for skinned windows).
  virtual bool setDecorated(WindowId window, bool decorated) = 0;
  virtual bool setSkipTaskbar(WindowId window, bool skip) = 0;
  virtual bool iconify(WindowId window) = 0;
  virtual bool setMaximized(WindowId window, bool maximized) = 0;
  // Sends all pointer and key events to this display's windows (menus); false when another
  // client holds the pointer.
  virtual bool grabPointer(WindowId window) = 0;
  virtual void ungrabPointer() = 0;
  // The pointer's shape while it is over the window (kInherit: the arrow). A new window shows
  // the arrow.
  virtual bool setCursor(WindowId window, PointerShape shape) = 0;
  // kClipboardChanged events to the window whenever the clipboard (the CLIPBOARD selection)
  // changes hands, or no more of them; false when the window system cannot tell.
  virtual bool watchClipboard(WindowId window, bool watch) = 0;
  // Takes the clipboard (the CLIPBOARD selection) for the window and offers the text to the
  // programs that paste, until another one takes it; false when the window system refused.
  virtual bool setClipboardText(WindowId window, std::string_view utf8) = 0;
  // Whether files and links may be dragged onto the window from other programs (kDragOver and
  // kDrop events).
  virtual bool setDropTarget(WindowId window, bool accept) = 0;
  // The answer to the kDragOver or kDrop being handled: the point takes the drop / took it.
  virtual void answerDrag(bool accept) = 0;
  // The uri-list of the kDrop being handled; empty otherwise.
  virtual std::string_view droppedText() const = 0;
  virtual int screenWidth() const = 0;
  virtual int screenHeight() const = 0;
  // The monitors' rectangles on the screen; the whole screen as one when it cannot tell.
  virtual std::vector<Rect> monitors() const = 0;
  // Hands the drag of the pointer, held down at (rootX, rootY) with `button`, to the window
  // manager, which moves or sizes the window as its own frame would.
  virtual bool beginMoveResize(WindowId window, MoveResize how, int rootX, int rootY,
                               std::uint32_t button) = 0;
  // Asks the window manager to raise the window and give it the focus.
  virtual bool activate(WindowId window) = 0;

  // Painting.
  virtual cairo_surface_t* backBuffer(WindowId window) = 0;  // nullptr for an unknown window
  virtual bool present(WindowId window, const Rect& damage) = 0;

  // A key combination (modifier:: key bits, keysym) for the whole desktop; its presses arrive as
  // kHotKey events with `id`. False when the key does not exist or another client holds it.
  virtual bool grabHotKey(std::uint32_t id, std::uint32_t modifiers, std::uint32_t keysym) = 0;
  virtual void ungrabHotKey(std::uint32_t id) = 0;
  // Why the last grabHotKey failed: the X error code (BadAccess, 10, when another client holds
  // the key), -1 when the keyboard has no such key, 0 after a success.
  virtual int hotKeyError() const = 0;

  // The loop the display's events come through; its queue, timers and descriptors are the
  // display thread's.
  virtual EventLoop& loop() = 0;

  // A repeating timer; setting an id again restarts it with the new interval.
  void setTimer(std::uint32_t id, std::uint32_t intervalMs) { loop().setTimer(id, intervalMs); }
  void killTimer(std::uint32_t id) { loop().killTimer(id); }

  // One round of the loop: delivers everything that is ready; when nothing is, first waits up
  // to timeoutMs (-1: without limit) for input, a posted closure or a timer. Answers false once
  // quit() was called.
  virtual bool dispatch(IEventSink& sink, int timeoutMs) = 0;
  void run(IEventSink& sink) {
    while (dispatch(sink, -1)) {
    }
  }

  // Any thread: runs `work` on the display's thread in the order posted, waking its loop.
  void post(std::function<void()> work) { loop().post(std::move(work)); }
  // Any thread: makes dispatch() answer false from now on.
  void quit() { loop().quit(); }
};

}  // namespace s::platform::ui

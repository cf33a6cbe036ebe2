#pragma once

#include <cstdint>
#include <string_view>

#include "gui/layout/IBox.h"

namespace s::gui {

// The events a window sends to the listeners of the list that belongs to the code.
enum WindowEvent : std::int32_t {
  kWindowClosing = 1,     // asked to close; a listener may cancelClose()
  kWindowMessage = 2,     // a message from another instance of the program
  kWindowRightPress = 3,  // right button pressed in the client area
  kWindowSized = 4,       // the size changed
  kWindowLeftPress = 5,
  kWindowActivated = 6,
  kWindowDeactivated = 7,
  kWindowResizing = 8,  // being resized by the user
  kWindowMiddlePress = 9,
  kWindowMoving = 10,
  kWindowMoved = 11,
  kWindowKey = 12,
  kWindowMouseMoved = 13,
  kWindowWheel = 14,
  kWindowNotification = 15,  // a user-defined notification posted to the window
  kWindowDoubleClick = 16,   // left double click
  kWindowCaptureLost = 17,
  kWindowTrayRightClick = 18,
  kWindowContextMenu = 19,
  kWindowRestored = 21,
  kWindowTrayLeftClick = 22,
  kWindowHotKey = 23,
  kWindowRightRelease = 24,
  kWindowLeftRelease = 25,
  kWindowTimer = 26,  // an application timer fired; getTimerId() tells which
  kWindowClipboard = 27,
};
inline constexpr std::int32_t kWindowEventCount = 28;

// A top-level window with its own user-interface thread. Every operation may be called from
// any thread; it runs on the window's thread and returns when done.
class IWindow : public virtual IBox {
 public:
  virtual void setTitle(std::string_view utf8) = 0;
  virtual void cancelClose() = 0;
  // One list of listeners per event.
  virtual void addListener(WindowEvent event, events::IEventListener* listener) = 0;
  virtual void removeListener(WindowEvent event, events::IEventListener* listener) = 0;
  virtual void addCloseListener(events::IEventListener* listener) = 0;
  virtual void addMessageListener(events::IEventListener* listener) = 0;
  virtual void addSizeListener(events::IEventListener* listener) = 0;
  virtual void addTimerListener(events::IEventListener* listener) = 0;
  virtual void setResizable(bool resizable) = 0;
  virtual void setKeepOnTop(bool above) = 0;
  virtual void setTaskbarButton(bool shown) = 0;
  virtual void setCloseIconizes(bool iconizes) = 0;
  virtual void show(bool activate) = 0;
  virtual void hide() = 0;
  virtual void close() = 0;
  virtual void iconize() = 0;
  virtual void restore() = 0;
  virtual void maximize() = 0;
  virtual void minimize() = 0;
  virtual bool isIconized() const = 0;
  virtual bool isIconic() const = 0;
  virtual bool isMaximized() const = 0;
  virtual bool isClosed() const = 0;
  virtual void waitUntilClosed() = 0;
  virtual void setTimer(std::uint32_t id, std::uint32_t ms) = 0;
  virtual void killTimer(std::uint32_t id) = 0;
  // The application id of the timer whose kWindowTimer is being sent.
  virtual std::uint32_t getTimerId() const = 0;
  // Message boxes on the window's thread; the caller waits for the answer.
  virtual void showInfo(std::string_view text) = 0;
  virtual void showWarning(std::string_view text) = 0;
  virtual void showError(std::string_view text) = 0;
  virtual bool askYesNo(std::string_view text) = 0;
};

}  // namespace s::gui

#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

namespace s::platform::ui {

// A platform window's handle: the X window id, or the offscreen backend's own number. 0 is none.
using WindowId = std::uint32_t;

enum class EventKind : std::uint8_t {
  kButtonPress,  // button 1 left, 2 middle, 3 right (others passed through)
  kButtonRelease,
  kMotion,
  kWheel,     // wheel: +1 turned away from the user, -1 towards
  kKeyPress,  // keysym and the typed text (UTF-8, empty for keys that type nothing)
  kKeyRelease,
  kEnter,
  kLeave,
  kFocusIn,
  kFocusOut,
  kConfigure,     // moved or resized: rootX/rootY = position on the screen, width/height
  kMap,           // shown
  kUnmap,         // hidden or iconified
  kCloseRequest,  // the window manager's close button
  // Another grab took the pointer from the window (a pop-up's, or one the window system made):
  // no release of the buttons held over it will come. Stands for the leave it also is.
  kPointerGrabLost,
  kClipboardChanged,  // the clipboard has a new owner (for windows that watch it)
  // A drag of files or links (a text/uri-list) is over the window at (x, y); answer with
  // IDisplay::answerDrag while handling it (unanswered: refused).
  kDragOver,
  // Dropped at (x, y): IDisplay::droppedText() holds the uri-list while this is handled; answer
  // whether it was taken with answerDrag.
  kDrop,
  kHotKey,  // a grabbed hot key was pressed: id
  kTimer,   // a timer fired: id
  // The window manager changed the window's state (a title-bar double click, a shortcut, a
  // taskbar click, or our own request granted): wmState holds it as it is now.
  kStateChanged,
};

// A top-level window's state as the window manager keeps it.
struct WmState {
  bool maximized = false;  // both ways
  bool minimized = false;  // iconic: on the taskbar only
  bool operator==(const WmState&) const = default;
};

// Modifier and button state bits of input events.
namespace modifier {
inline constexpr std::uint32_t kShift = 1;
inline constexpr std::uint32_t kControl = 2;
inline constexpr std::uint32_t kAlt = 4;
inline constexpr std::uint32_t kSuper = 8;
inline constexpr std::uint32_t kButtonLeft = 0x100;
inline constexpr std::uint32_t kButtonMiddle = 0x200;
inline constexpr std::uint32_t kButtonRight = 0x400;
inline constexpr std::uint32_t kKeys = kShift | kControl | kAlt | kSuper;
}  // namespace modifier

// One input or window event. Keys use the X keysym numbering in both backends.
struct Event {
  EventKind kind = EventKind::kMotion;
  WindowId window = 0;  // 0 for timers and hot keys
  std::int32_t x = 0;   // pointer position in the window
  std::int32_t y = 0;
  std::int32_t rootX = 0;  // pointer on the screen; the window's position for kConfigure
  std::int32_t rootY = 0;
  std::int32_t width = 0;  // kConfigure
  std::int32_t height = 0;
  std::uint32_t button = 0;
  std::int32_t wheel = 0;
  std::uint32_t modifiers = 0;
  std::uint32_t keysym = 0;
  std::uint32_t id = 0;         // timer or hot key id
  std::uint64_t timeMs = 0;     // input time stamp (server milliseconds), for double clicks
  WmState wmState{};            // kStateChanged
  std::array<char, 32> text{};  // NUL-terminated UTF-8

  std::string_view typed() const { return std::string_view(text.data()); }
  void setTyped(std::string_view utf8) {
    const std::size_t n = std::min(utf8.size(), text.size() - 1);
    utf8.copy(text.data(), n);
    text[n] = '\0';
  }
};

}  // namespace s::platform::ui

// The X backend's keys: key events and their text, hot keys, and the translation of modifiers.
#include "platform/x11/X11Keys.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <string_view>

#include "platform/x11/X11Display.h"
#include "platform/x11/X11ErrorTrap.h"
#include "platform/x11/X11Window.h"

namespace s::platform::x11 {

using ui::Event;
using ui::EventKind;
using ui::WindowId;

namespace {

// Lock and NumLock do not change what a hot key means, so each grab covers their four states.
constexpr unsigned int kIgnoredLocks[] = {0, LockMask, Mod2Mask, LockMask | Mod2Mask};

}  // namespace

unsigned int toXModifiers(std::uint32_t modifiers) {
  unsigned int x = 0;
  x |= (modifiers & ui::modifier::kShift) != 0 ? ShiftMask : 0;
  x |= (modifiers & ui::modifier::kControl) != 0 ? ControlMask : 0;
  x |= (modifiers & ui::modifier::kAlt) != 0 ? Mod1Mask : 0;
  x |= (modifiers & ui::modifier::kSuper) != 0 ? Mod4Mask : 0;
  return x;
}

std::uint32_t fromXState(unsigned int state) {
  std::uint32_t m = 0;
  m |= (state & ShiftMask) != 0 ? ui::modifier::kShift : 0;
  m |= (state & ControlMask) != 0 ? ui::modifier::kControl : 0;
  m |= (state & Mod1Mask) != 0 ? ui::modifier::kAlt : 0;
  m |= (state & Mod4Mask) != 0 ? ui::modifier::kSuper : 0;
  m |= (state & Button1Mask) != 0 ? ui::modifier::kButtonLeft : 0;
  m |= (state & Button2Mask) != 0 ? ui::modifier::kButtonMiddle : 0;
  m |= (state & Button3Mask) != 0 ? ui::modifier::kButtonRight : 0;
  return m;
}

// Latin-1 keysyms are their own code points, and 0x01000000 + c is the keysym of any other
// Unicode character.
std::string keysymText(unsigned long keysym) {
  std::uint32_t c = 0;
  if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF)) {
    c = static_cast<std::uint32_t>(keysym);
  } else if ((keysym & 0xFF000000UL) == 0x01000000UL) {
    c = static_cast<std::uint32_t>(keysym & 0x00FFFFFFUL);
  }
  std::string out;
  if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    return out;
  }
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

bool X11Display::grabHotKey(std::uint32_t id, std::uint32_t modifiers, std::uint32_t keysym) {
  ungrabHotKey(id);
  const KeyCode keycode = XKeysymToKeycode(display_, keysym);
  if (keycode == 0) {
    hotKeyError_ = -1;
    return false;
  }
  const unsigned int xModifiers = toXModifiers(modifiers);
  X11ErrorTrap trap(display_);
  for (unsigned int locks : kIgnoredLocks) {
    XGrabKey(display_, keycode, xModifiers | locks, root_, False, GrabModeAsync, GrabModeAsync);
  }
  // BadAccess: another client holds the combination.
  hotKeyError_ = trap.sync();
  if (hotKeyError_ != Success) {
    for (unsigned int locks : kIgnoredLocks) {
      XUngrabKey(display_, keycode, xModifiers | locks, root_);
    }
    return false;
  }
  hotKeys_.push_back({id, keycode, xModifiers, false});
  return true;
}

void X11Display::ungrabHotKey(std::uint32_t id) {
  auto it =
      std::find_if(hotKeys_.begin(), hotKeys_.end(), [id](const HotKey& k) { return k.id == id; });
  if (it == hotKeys_.end()) {
    return;
  }
  // Two grabs of the same key in this process share the server's grab; keep it for the other.
  const bool shared = std::count_if(hotKeys_.begin(), hotKeys_.end(), [&](const HotKey& k) {
                        return k.keycode == it->keycode && k.modifiers == it->modifiers;
                      }) > 1;
  if (!shared) {
    for (unsigned int locks : kIgnoredLocks) {
      XUngrabKey(display_, it->keycode, it->modifiers | locks, root_);
    }
    XFlush(display_);
  }
  hotKeys_.erase(it);
}

void X11Display::handleKey(XEvent& event, Win& win, ui::IEventSink& sink) {
  XKeyEvent& key = event.xkey;
  Event out;
  out.kind = event.type == KeyPress ? EventKind::kKeyPress : EventKind::kKeyRelease;
  out.window = static_cast<WindowId>(win.xid);
  out.x = key.x;
  out.y = key.y;
  out.rootX = key.x_root;
  out.rootY = key.y_root;
  out.modifiers = fromXState(key.state);
  out.timeMs = key.time;
  KeySym keysym = NoSymbol;
  std::string text;
  if (event.type == KeyPress && win.xic != nullptr) {
    char buffer[256];
    Status status = 0;
    const int n = Xutf8LookupString(win.xic, &key, buffer, sizeof buffer, &keysym, &status);
    if (status == XLookupChars || status == XLookupBoth) {
      text.assign(buffer, static_cast<std::size_t>(std::max(n, 0)));
    }
    if (status != XLookupKeySym && status != XLookupBoth) {
      keysym = NoSymbol;
    }
  } else {
    char buffer[32];
    XLookupString(&key, buffer, sizeof buffer, &keysym, nullptr);
    if (event.type == KeyPress) {
      text = keysymText(keysym);
    }
  }
  // Control characters are keys, not text.
  if (text.size() == 1 && (static_cast<unsigned char>(text[0]) < 0x20 || text[0] == 0x7F)) {
    text.clear();
  }
  out.keysym = static_cast<std::uint32_t>(keysym);
  // Text longer than one event holds (an input method's commit) goes in several, cut between
  // characters; the later ones carry no key.
  std::string_view rest = text;
  do {
    std::size_t n = std::min(rest.size(), out.text.size() - 1);
    while (n < rest.size() && n > 0 && (static_cast<unsigned char>(rest[n]) & 0xC0) == 0x80) {
      --n;
    }
    out.setTyped(rest.substr(0, n));
    rest.remove_prefix(n);
    sink.onPlatformEvent(out);
    out.keysym = 0;
  } while (!rest.empty());
}

void X11Display::handleHotKey(XEvent& event, ui::IEventSink& sink) {
  XKeyEvent& key = event.xkey;
  const unsigned int modifiers = key.state & (ShiftMask | ControlMask | Mod1Mask | Mod4Mask);
  for (HotKey& hotKey : hotKeys_) {
    if (hotKey.keycode != key.keycode) {
      continue;
    }
    // The modifiers may have been let go first, so a release ends the press whatever they are.
    if (key.type == KeyRelease) {
      hotKey.down = false;
      continue;
    }
    if (hotKey.modifiers != modifiers) {
      continue;
    }
    // A held key repeats its presses; the hot key fires once per press.
    if (hotKey.down) {
      continue;
    }
    hotKey.down = true;
    Event out;
    out.kind = EventKind::kHotKey;
    out.id = hotKey.id;
    out.modifiers = fromXState(key.state);
    out.keysym = static_cast<std::uint32_t>(XLookupKeysym(&key, 0));
    out.timeMs = key.time;
    sink.onPlatformEvent(out);
  }
}

}  // namespace s::platform::x11

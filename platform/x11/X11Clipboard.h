#pragma once

#include <string>
#include <string_view>

struct _XDisplay;
union _XEvent;

namespace s::platform::x11 {

// The owner's side of the CLIPBOARD selection: a window of ours takes it with a text, and
// answers the programs that paste, with the text as UTF8_STRING (or
// "text/plain;charset=utf-8"), and with the targets it offers, until another program takes the
// clipboard. Texts larger than one request can carry are refused rather than cut (the INCR
// protocol is not spoken).
class X11Clipboard {
 public:
  explicit X11Clipboard(_XDisplay* display);

  // False when the server gave the clipboard to no one or the text is too large.
  bool offer(unsigned long window, std::string_view utf8);
  // A window of ours goes: what it offered goes with it.
  void forget(unsigned long window);
  // SelectionRequest and SelectionClear; true when the event was about what we offer.
  bool handle(_XEvent& event);
  const std::string& offered() const { return text_; }

 private:
  _XDisplay* display_;
  unsigned long clipboard_;
  unsigned long targets_;
  unsigned long utf8_;
  unsigned long plainUtf8_;
  unsigned long owner_ = 0;
  std::string text_;
};

}  // namespace s::platform::x11

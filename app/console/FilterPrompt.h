#pragma once

#include <string>
#include <string_view>

namespace s::app::console {

// What the keys typed at the filter prompt have done so far.
enum class PromptOutcome {
  kEditing,
  kApplied,    // Enter: the text stays the filter
  kCancelled,  // Escape or Ctrl-C: the filter is cleared
};

// The line the filter is typed on, fed the bytes a terminal sends in raw mode. Printable
// characters (UTF-8) are added at the end, Backspace takes the last character away, Ctrl-U
// the whole line; other control keys and escape sequences (the arrows) are skipped. An
// escape that ends what was read is the Escape key itself.
class FilterPrompt {
 public:
  // Starts editing `text`.
  void open(std::string_view text);
  // Takes bytes from the front of `bytes` until the prompt is applied or cancelled; what it
  // leaves is for the keys of the view.
  PromptOutcome feed(std::string_view& bytes);
  // UTF-8.
  const std::string& text() const { return text_; }

 private:
  void eraseLast();

  std::string text_;
};

}  // namespace s::app::console

#pragma once

#include <string_view>

namespace s::gui::win {

class Window;

// Small modal windows of our own: a text with an icon and one to three buttons, owned by a
// window (kept above it, captioned with its title; in the middle of the screen for an owner
// whose platform window could not be made). They are owned windows of the owner and run on the
// owner's thread in a nested loop that keeps the owner painting and serving other threads while its
// input waits; called from another thread they wait for the answer there.
//
// Keys: Return takes the first button, Escape the last ("OK", "No" or "Cancel"); the window
// manager's close button answers like Escape. The button texts stay English: the language pack
// has no texts for them.
class MessageBoxW {
 public:
  static void info(Window& owner, std::string_view text);
  static void warning(Window& owner, std::string_view text);
  static void error(Window& owner, std::string_view text);
  // True for Yes.
  static bool askYesNo(Window& owner, std::string_view text);
  // False for Cancel; when answered, `yes` tells Yes from No.
  static bool askYesNoCancel(Window& owner, std::string_view text, bool& yes);

  // What a box shows: its icon and its buttons.
  enum class Icon { kInformation, kWarning, kError, kQuestion };
  enum class Buttons { kOk, kYesNo, kYesNoCancel };
  // Shows a box captioned `title` (empty: the owner's title) and answers the chosen button: 0
  // for the first, 1, 2; -1 when the owner has no display or the box could not be made.
  static int show(Window& owner, std::string_view text, Icon icon, Buttons buttons,
                  std::string_view title = {});
};

}  // namespace s::gui::win

#pragma once

#include <string_view>

namespace s::gui::win {

// Opens an address or file with the desktop's handler (xdg-open), started with an argument
// vector, never through a shell: link targets come from outside.
class LinkOpener {
 public:
  // False when the handler could not be started.
  static bool open(std::u16string_view target);
};

}  // namespace s::gui::win

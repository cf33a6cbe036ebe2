#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace s::app::win {

// The program's arguments as start-up keeps them: without the program's name, each one that
// begins with "-" or "/" written with "-" ("/startup" is "-startup"), the others unchanged.
class CommandLine {
 public:
  CommandLine() = default;
  CommandLine(int argc, const char* const* argv);

  std::size_t count() const { return arguments_.size(); }
  std::u16string_view at(std::size_t index) const { return arguments_[index]; }
  // Some argument equals `option` ("-startup"), letter case ignored.
  bool has(std::u16string_view option) const;

 private:
  std::vector<std::u16string> arguments_;
};

// What the autostart entry passes: start iconized to the tray.
inline constexpr std::u16string_view kStartupOption = u"-startup";

// One argument as the command line keeps it.
std::u16string normalizedArgument(std::string_view argument);
// The argument is "-startup" in any letter case, with "-" or "/".
bool isStartupOption(std::string_view argument);

}  // namespace s::app::win

#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace s::file {

// The "[Desktop Entry]" group of a freedesktop desktop entry file: what the program writes
// for its autostart entry and reads back to find programs and their icons.
struct DesktopEntry {
  std::u16string type;
  std::u16string name;
  // The command as an argument vector (field codes such as %f left out).
  std::vector<std::u16string> exec;
  std::u16string tryExec;
  std::u16string workingFolder;  // Path
  std::u16string url;            // URL, for Type=Link
  std::u16string icon;
  std::u16string startupWmClass;
  bool noDisplay = false;
  bool hidden = false;

  // The file's text (UTF-8), with the Exec arguments quoted and every value escaped as the
  // desktop entry format requires.
  std::string toText() const;
  // Reads the group; unknown keys and localised variants are ignored.
  static DesktopEntry parse(std::string_view bytes);

  // One Exec argument, quoted when it holds a reserved character.
  static std::u16string quoteArgument(std::u16string_view argument);
  // Splits an (already unescaped) Exec value into arguments.
  static std::vector<std::u16string> splitCommand(std::u16string_view command);
};

}  // namespace s::file

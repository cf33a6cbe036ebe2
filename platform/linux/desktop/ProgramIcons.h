#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/linux/desktop/DesktopEntries.h"
#include "platform/linux/desktop/DesktopEnvironment.h"
#include "platform/linux/desktop/IconTheme.h"

namespace s::platform {

// The icon file a Linux desktop shows for a program: its desktop entry's Icon, found in the
// icon theme at 16 pixels (or the nearest size), else the theme's generic program icon.
// The entries are read on the first question; each program's answer is kept, so a list
// that asks once per process does not go back to the disk.
class ProgramIcons {
 public:
  static constexpr int kIconSize = 16;
  static constexpr const char* kGenericIcon = "application-x-executable";

  explicit ProgramIcons(DesktopEnvironment environment);

  // The instance for this process's environment, made on first use.
  static ProgramIcons& instance();

  // Whether the file is an ELF executable or shared object (by its first bytes).
  static bool isElfProgram(const std::string& path);

  // The icon file for a program file, or empty when neither its own nor the generic icon
  // can be found as a PNG. Safe to call from any thread.
  std::string iconFileFor(const std::string& programPath);

 private:
  std::string lookUp(const std::string& programPath);

  DesktopEnvironment environment_;
  std::mutex lock_;
  std::unique_ptr<DesktopEntries> entries_;  // read on first use
  std::unique_ptr<IconTheme> theme_;
  std::unordered_map<std::string, std::string> answers_;
};

}  // namespace s::platform

#include "app/base/StartOnBoot.h"

#include "app/base/CommandLine.h"
#include "framework/file/DesktopEntry.h"

namespace s::app::win {

namespace {

PoolPtr<file::PathWin> entryPath() {
  PoolPtr<file::PathWin> folder = file::PathWin::specialFolder(file::SpecialFolder::Autostart);
  return file::PathWin::shortcutOf(folder->full(), kApplicationId);
}

}  // namespace

std::u16string startOnBootPath() {
  return std::u16string(entryPath()->full());
}

bool startsOnBoot() {
  PoolPtr<file::PathWin> entry = entryPath();
  std::string bytes;
  return entry->readRegular(bytes) == file::ReadOutcome::kRead &&
         !file::DesktopEntry::parse(bytes).hidden;
}

bool setStartOnBoot(const file::PathWin& program) {
  return program.isExe() && program.createShortcut(entryPath()->full(), true, kStartupOption);
}

bool clearStartOnBoot() {
  PoolPtr<file::PathWin> entry = entryPath();
  return !entry->exists() || entry->remove();
}

}  // namespace s::app::win

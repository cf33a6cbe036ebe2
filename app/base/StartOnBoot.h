#pragma once

#include <string>
#include <string_view>

#include "framework/file/PathWin.h"

namespace s::app::win {

// The application's id: its desktop entry, icon and autostart entry are named for it.
inline constexpr std::u16string_view kApplicationId = u"netvigil";

// "Start on System Boot": the XDG autostart entry that starts the program, iconized, with the
// user's desktop session, $XDG_CONFIG_HOME/autostart/netvigil.desktop (~/.config when unset).
// It is named for the application id rather than for the program's name and version, so that
// an upgrade keeps the user's choice.
std::u16string startOnBootPath();
// The entry is there and not hidden (the desktop's session settings hide it to turn it off).
bool startsOnBoot();
// Writes the entry that starts `program` with -startup, replacing one that is there; false
// when the program file does not exist or the entry cannot be written.
bool setStartOnBoot(const file::PathWin& program);
// Removes the entry; true when none is left.
bool clearStartOnBoot();

}  // namespace s::app::win

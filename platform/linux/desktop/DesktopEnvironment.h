#pragma once

#include <string>
#include <vector>

namespace s::platform {

// Where a Linux desktop keeps its application entries and icon themes, as the XDG base
// directory rules give them, with the user's icon theme.
struct DesktopEnvironment {
  std::string home;
  std::string dataHome;               // $XDG_DATA_HOME, else ~/.local/share
  std::vector<std::string> dataDirs;  // $XDG_DATA_DIRS, else /usr/local/share:/usr/share
  std::string configHome;             // $XDG_CONFIG_HOME, else ~/.config
  std::vector<std::string> path;      // $PATH
  std::string currentDesktop;         // $XDG_CURRENT_DESKTOP
  std::string pixmaps = "/usr/share/pixmaps";

  // The values of this process's environment.
  static DesktopEnvironment fromProcess();

  // The icon theme the desktop uses, when its settings tell it cheaply; else "hicolor".
  std::string iconThemeName() const;
  // The lines a notch of the mouse wheel scrolls: KDE's WheelScrollLines in kdeglobals, else
  // LXQt's wheelScrollLines in lxqt.conf, else 3 (GNOME, XFCE and the others have no such
  // setting). Values outside 1 to 100 are not taken.
  int wheelScrollLines() const;
};

}  // namespace s::platform

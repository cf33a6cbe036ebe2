#pragma once

#include <string>

namespace s::platform {

// What the program asks of the desktop: open an address in the user's browser, show a file in
// the file manager, show a file's properties. Each call may wait on another program (a D-Bus
// service being started), so none belongs on a user-interface thread. False when nothing on
// this desktop could do it.
class IDesktopShell {
 public:
  virtual ~IDesktopShell() = default;

  virtual bool openAddress(const std::string& address) = 0;
  // A new file-manager window with the file selected.
  virtual bool showInFileManager(const std::string& path) = 0;
  virtual bool showProperties(const std::string& path) = 0;
};

}  // namespace s::platform

#pragma once

#include <functional>
#include <string>

#include "platform/shell/IDesktopShell.h"

namespace s::platform {

// The desktop's own programs: addresses open with xdg-open; files are shown by the file
// manager over org.freedesktop.FileManager1 on the session bus, else (no file manager
// answers) their folder is opened with xdg-open. Each call makes its own bus connection, so
// the shell may be used from any thread.
class DesktopShell final : public IDesktopShell {
 public:
  // Shows a file's properties when no file manager does; may be empty.
  using PropertiesFallback = std::function<void(const std::string& path)>;

  explicit DesktopShell(PropertiesFallback propertiesFallback = {});

  bool openAddress(const std::string& address) override;
  bool showInFileManager(const std::string& path) override;
  bool showProperties(const std::string& path) override;

 private:
  PropertiesFallback propertiesFallback_;
};

}  // namespace s::platform

#include "platform/shell/DesktopShell.h"

#include <utility>
#include <vector>

#include "platform/dbus/FileManager.h"
#include "platform/dbus/SessionBus.h"
#include "platform/linux/ProgramLauncher.h"

namespace s::platform {

namespace {

bool xdgOpen(const std::string& target) {
  // Every target starts with a scheme or "/", so xdg-open cannot take it for an option.
  const std::vector<std::string> arguments = {"xdg-open", target};
  return launchProgram(arguments);
}

}  // namespace

DesktopShell::DesktopShell(PropertiesFallback propertiesFallback)
    : propertiesFallback_(std::move(propertiesFallback)) {}

bool DesktopShell::openAddress(const std::string& address) {
  return !address.empty() && address.front() != '-' && xdgOpen(address);
}

bool DesktopShell::showInFileManager(const std::string& path) {
  if (!path.starts_with('/')) {
    return false;
  }
  SessionBus bus;
  if (askFileManager(bus, FileManagerRequest::kShowItems, path)) {
    return true;
  }
  size_t slash = path.rfind('/');
  return xdgOpen(slash == 0 ? std::string("/") : path.substr(0, slash));
}

bool DesktopShell::showProperties(const std::string& path) {
  if (!path.starts_with('/')) {
    return false;
  }
  SessionBus bus;
  if (askFileManager(bus, FileManagerRequest::kShowItemProperties, path)) {
    return true;
  }
  if (!propertiesFallback_) {
    return false;
  }
  propertiesFallback_(path);
  return true;
}

}  // namespace s::platform

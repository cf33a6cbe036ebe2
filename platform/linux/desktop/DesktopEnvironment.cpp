#include "platform/linux/desktop/DesktopEnvironment.h"

#include <cstdlib>
#include <utility>

#include "platform/linux/desktop/KeyFile.h"

namespace s::platform {

namespace {

std::string variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

std::vector<std::string> split(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(':', start);
    if (end == std::string::npos) {
      end = text.size();
    }
    if (end > start) {
      parts.push_back(text.substr(start, end - start));
    }
    start = end + 1;
  }
  return parts;
}

bool absolute(const std::string& path) {
  return !path.empty() && path[0] == '/';
}

}  // namespace

DesktopEnvironment DesktopEnvironment::fromProcess() {
  DesktopEnvironment environment;
  environment.home = variable("HOME");
  environment.dataHome = variable("XDG_DATA_HOME");
  if (!absolute(environment.dataHome)) {
    environment.dataHome = environment.home + "/.local/share";
  }
  for (const std::string& dir : split(variable("XDG_DATA_DIRS"))) {
    if (absolute(dir)) {
      environment.dataDirs.push_back(dir);
    }
  }
  if (environment.dataDirs.empty()) {
    environment.dataDirs = {"/usr/local/share", "/usr/share"};
  }
  environment.configHome = variable("XDG_CONFIG_HOME");
  if (!absolute(environment.configHome)) {
    environment.configHome = environment.home + "/.config";
  }
  environment.path = split(variable("PATH"));
  environment.currentDesktop = variable("XDG_CURRENT_DESKTOP");
  return environment;
}

std::string DesktopEnvironment::iconThemeName() const {
  const std::string& desktop = currentDesktop;
  std::string theme;
  if (desktop.find("KDE") != std::string::npos) {
    theme = KeyFile::read(configHome + "/kdeglobals").value("Icons", "Theme");
    return theme.empty() ? "breeze" : theme;
  }
  if (desktop.find("XFCE") != std::string::npos) {
    theme = KeyFile::xfconfValue(configHome + "/xfce4/xfconf/xfce-perchannel-xml/xsettings.xml",
                                 "IconThemeName");
  }
  if (theme.empty()) {
    theme = KeyFile::read(configHome + "/gtk-3.0/settings.ini")
                .value("Settings", "gtk-icon-theme-name");
  }
  if (theme.empty() && desktop.find("GNOME") != std::string::npos) {
    theme = "Adwaita";  // GNOME keeps its choice in dconf; this is its default
  }
  return theme.empty() ? "hicolor" : theme;
}

int DesktopEnvironment::wheelScrollLines() const {
  constexpr int kDefaultLines = 3;
  const std::pair<std::string, std::pair<const char*, const char*>> sources[] = {
      {configHome + "/kdeglobals", {"KDE", "WheelScrollLines"}},
      {configHome + "/lxqt/lxqt.conf", {"Qt", "wheelScrollLines"}},
  };
  for (const auto& [path, where] : sources) {
    const std::string value = KeyFile::read(path).value(where.first, where.second);
    char* end = nullptr;
    const long lines = std::strtol(value.c_str(), &end, 10);
    if (!value.empty() && *end == '\0' && lines >= 1 && lines <= 100) {
      return static_cast<int>(lines);
    }
  }
  return kDefaultLines;
}

}  // namespace s::platform

#pragma once

#include <map>
#include <string>
#include <utility>

namespace s::platform {

// The "[Group]" / "key=value" files of the desktop that are not desktop entries: icon theme
// indexes and toolkit settings. Localised keys ("Name[de]") are kept under their full name.
class KeyFile {
 public:
  // An empty key file when the path cannot be read; files past 1 MiB are not desktop files.
  static KeyFile read(const std::string& path);
  // A settings-sized file's text; empty when unreadable or past 1 MiB.
  static std::string readText(const std::string& path);
  static KeyFile parse(const std::string& text);
  // The `value` attribute of an xfconf property element, found by its name.
  static std::string xfconfValue(const std::string& path, const std::string& property);

  bool empty() const { return values_.empty(); }
  bool has(const std::string& group, const std::string& key) const;
  // The value as written; empty when absent.
  std::string value(const std::string& group, const std::string& key) const;

 private:
  std::map<std::pair<std::string, std::string>, std::string> values_;
};

}  // namespace s::platform

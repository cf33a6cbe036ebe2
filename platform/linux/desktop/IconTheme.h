#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/linux/desktop/DesktopEnvironment.h"

namespace s::platform {

// Finds icon files by name the way the freedesktop icon theme rules do: the chosen theme,
// the themes it inherits, then "hicolor", then the pixmaps folder. Only PNG files are
// taken: scalable (SVG) icons are skipped, as the picture decoders do not draw them.
class IconTheme {
 public:
  IconTheme(const DesktopEnvironment& environment, const std::string& theme);

  // The file of the icon `name` nearest to `size` pixels, or empty.
  std::string find(const std::string& name, int size) const;

  // The chain of themes looked in, for the record.
  const std::vector<std::string>& themes() const { return chain_; }

 private:
  struct Directory {
    std::string path;  // inside the theme
    int size = 0;
    int minSize = 0;
    int maxSize = 0;
  };
  struct Theme {
    std::vector<std::string> roots;  // <base>/<theme> folders that exist
    std::vector<Directory> directories;
    std::vector<std::string> inherits;
  };

  const Theme* load(const std::string& name);
  std::string findIn(const Theme& theme, const std::string& name, int size) const;

  std::vector<std::string> bases_;
  std::string pixmaps_;
  std::map<std::string, Theme> loaded_;
  std::vector<std::string> chain_;
};

}  // namespace s::platform

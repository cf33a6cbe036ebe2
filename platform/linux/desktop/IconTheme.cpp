#include "platform/linux/desktop/IconTheme.h"

#include <dirent.h>
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <set>

#include "platform/linux/desktop/KeyFile.h"

namespace s::platform {

namespace {

std::string joined(const std::string& folder, const std::string& name) {
  std::string path = folder;
  path += '/';
  path += name;
  return path;
}

bool isFile(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool isDirectory(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::vector<std::string> list(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(separator, start);
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

int number(const std::string& text, int fallback) {
  if (text.empty()) {
    return fallback;
  }
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  return *end == '\0' && value > 0 && value < 100000 ? static_cast<int>(value) : fallback;
}

std::vector<std::string> subfolders(const std::string& path) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(path.c_str());
  if (dir == nullptr) {
    return names;
  }
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != ".." && isDirectory(joined(path, name))) {
      names.push_back(name);
    }
  }
  ::closedir(dir);
  return names;
}

// The size a folder name such as "16x16" or "16" stands for; 0 for "scalable" and others.
int sizeOfFolderName(const std::string& name) {
  const size_t x = name.find('x');
  return number(x == std::string::npos ? name : name.substr(0, x), 0);
}

}  // namespace

IconTheme::IconTheme(const DesktopEnvironment& environment, const std::string& theme)
    : pixmaps_(environment.pixmaps) {
  if (!environment.home.empty()) {
    bases_.push_back(environment.home + "/.icons");
  }
  bases_.push_back(environment.dataHome + "/icons");
  for (const std::string& dir : environment.dataDirs) {
    bases_.push_back(dir + "/icons");
  }
  // The theme, the themes it inherits (depth first, each once), hicolor last.
  std::vector<std::string> pending = {theme};
  std::set<std::string> seen;
  while (!pending.empty()) {
    const std::string name = pending.front();
    pending.erase(pending.begin());
    if (name == "hicolor" || !seen.insert(name).second) {
      continue;
    }
    const Theme* loaded = load(name);
    if (loaded == nullptr) {
      continue;
    }
    chain_.push_back(name);
    pending.insert(pending.begin(), loaded->inherits.begin(), loaded->inherits.end());
  }
  if (load("hicolor") != nullptr) {
    chain_.emplace_back("hicolor");
  }
}

const IconTheme::Theme* IconTheme::load(const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos) {
    return nullptr;
  }
  Theme theme;
  KeyFile index;
  for (const std::string& base : bases_) {
    const std::string root = joined(base, name);
    if (!isDirectory(root)) {
      continue;
    }
    theme.roots.push_back(root);
    if (index.empty()) {
      index = KeyFile::read(root + "/index.theme");
    }
  }
  if (theme.roots.empty()) {
    return nullptr;
  }
  if (!index.empty()) {
    theme.inherits = list(index.value("Icon Theme", "Inherits"), ',');
    for (const std::string& path : list(index.value("Icon Theme", "Directories"), ',')) {
      if (number(index.value(path, "Scale"), 1) != 1) {
        continue;
      }
      Directory directory;
      directory.path = path;
      directory.size = number(index.value(path, "Size"), 0);
      // A fixed or threshold folder counts by its own size, so an exact 16 beats a near
      // one; a scalable folder by its range.
      directory.minSize = directory.maxSize = directory.size;
      if (index.value(path, "Type") == "Scalable") {
        directory.minSize = number(index.value(path, "MinSize"), directory.size);
        directory.maxSize = number(index.value(path, "MaxSize"), directory.size);
      }
      if (directory.size > 0) {
        theme.directories.push_back(directory);
      }
    }
  } else {
    // No index: folders named by size ("16x16/apps" or "apps/16").
    for (const std::string& root : theme.roots) {
      for (const std::string& first : subfolders(root)) {
        for (const std::string& second : subfolders(joined(root, first))) {
          int size = sizeOfFolderName(first);
          if (size == 0) {
            size = sizeOfFolderName(second);
          }
          if (size > 0) {
            theme.directories.push_back({joined(first, second), size, size, size});
          }
        }
      }
    }
  }
  return &loaded_.emplace(name, std::move(theme)).first->second;
}

std::string IconTheme::findIn(const Theme& theme, const std::string& name, int size) const {
  std::string best;
  int bestDistance = INT_MAX;
  for (const Directory& directory : theme.directories) {
    int distance = 0;
    if (size < directory.minSize) {
      distance = directory.minSize - size;
    } else if (size > directory.maxSize) {
      distance = size - directory.maxSize;
    }
    if (distance >= bestDistance) {
      continue;
    }
    for (const std::string& root : theme.roots) {
      std::string file = joined(joined(root, directory.path), name);
      file += ".png";
      if (isFile(file)) {
        if (distance == 0) {
          return file;
        }
        best = file;
        bestDistance = distance;
        break;
      }
    }
  }
  return best;
}

std::string IconTheme::find(const std::string& name, int size) const {
  if (name.empty() || name.find('/') != std::string::npos) {
    return {};
  }
  for (const std::string& themeName : chain_) {
    std::string file = findIn(loaded_.at(themeName), name, size);
    if (!file.empty()) {
      return file;
    }
  }
  const std::string pixmap = pixmaps_ + "/" + name + ".png";
  return isFile(pixmap) ? pixmap : std::string();
}

}  // namespace s::platform

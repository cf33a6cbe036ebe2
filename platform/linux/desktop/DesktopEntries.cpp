#include "platform/linux/desktop/DesktopEntries.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "platform/linux/desktop/KeyFile.h"

namespace s::platform {

namespace {

constexpr const char* kGroup = "Desktop Entry";
constexpr int kMaxDepth = 4;

std::string lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return text;
}

std::string realPath(const std::string& path) {
  char buffer[PATH_MAX];
  return ::realpath(path.c_str(), buffer) != nullptr ? std::string(buffer) : std::string();
}

std::string baseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Splits an Exec value into words by its quoting rules: double quotes, and backslash escapes
// inside them.
std::vector<std::string> words(const std::string& exec) {
  std::vector<std::string> result;
  std::string word;
  bool inWord = false;
  bool quoted = false;
  for (size_t i = 0; i < exec.size(); ++i) {
    const char c = exec[i];
    if (quoted) {
      if (c == '"') {
        quoted = false;
      } else if (c == '\\' && i + 1 < exec.size()) {
        word += exec[++i];
      } else {
        word += c;
      }
    } else if (c == '"') {
      quoted = true;
      inWord = true;
    } else if (c == ' ' || c == '\t') {
      if (inWord) {
        result.push_back(word);
        word.clear();
        inWord = false;
      }
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) {
    result.push_back(word);
  }
  return result;
}

}  // namespace

DesktopEntries::DesktopEntries(const DesktopEnvironment& environment) : environment_(environment) {
  // Earlier folders win: a file id seen once is not read again.
  readFolder(environment.dataHome + "/applications", "", 0);
  for (const std::string& dir : environment.dataDirs) {
    readFolder(dir + "/applications", "", 0);
  }
}

std::string DesktopEntries::execProgram(const std::string& exec) {
  const std::vector<std::string> parts = words(exec);
  size_t i = 0;
  if (i < parts.size() && baseName(parts[i]) == "env") {
    ++i;
    while (i < parts.size() && (parts[i].find('=') != std::string::npos || parts[i][0] == '-')) {
      // The options that take a separate argument: -u NAME, -C FOLDER.
      const bool argument =
          parts[i] == "-u" || parts[i] == "-C" || parts[i] == "--unset" || parts[i] == "--chdir";
      i += argument ? 2 : 1;
    }
  }
  return i < parts.size() ? parts[i] : std::string();
}

void DesktopEntries::readFolder(const std::string& root, const std::string& prefix, int depth) {
  DIR* dir = ::opendir(root.c_str());
  if (dir == nullptr) {
    return;
  }
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir)) {
    names.emplace_back(entry->d_name);
  }
  ::closedir(dir);
  for (const std::string& name : names) {
    if (name == "." || name == "..") {
      continue;
    }
    const std::string path = root + "/" + name;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
      continue;
    }
    if (S_ISDIR(status.st_mode)) {
      if (depth < kMaxDepth) {
        readFolder(path, prefix + name + "-", depth + 1);
      }
    } else if (S_ISREG(status.st_mode) && endsWith(name, ".desktop")) {
      add(prefix + name, path);
    }
  }
}

void DesktopEntries::add(const std::string& id, const std::string& file) {
  if (!ids_.insert(id).second) {
    return;  // hidden or not, an earlier folder decided this id
  }
  const KeyFile keys = KeyFile::read(file);
  const std::string type = keys.value(kGroup, "Type");
  if (type != "Application" || keys.value(kGroup, "Hidden") == "true") {
    return;
  }
  const size_t index = entries_.size();
  entries_.push_back({id, file, keys.value(kGroup, "Icon")});
  for (const char* key : {"TryExec", "Exec"}) {
    std::string program =
        key[0] == 'T' ? keys.value(kGroup, key) : execProgram(keys.value(kGroup, key));
    program = resolve(program);
    if (!program.empty()) {
      byProgram_.emplace(program, index);
    }
  }
  const std::string windowClass = keys.value(kGroup, "StartupWMClass");
  if (!windowClass.empty()) {
    byWindowClass_.emplace(lower(windowClass), index);
  }
  // "org.example.Editor.desktop" answers to "org.example.editor" and to "editor".
  std::string stem = lower(baseName(file).substr(0, baseName(file).size() - 8));
  byFileName_.emplace(stem, index);
  const size_t dot = stem.rfind('.');
  if (dot != std::string::npos && dot + 1 < stem.size()) {
    byFileName_.emplace(stem.substr(dot + 1), index);
  }
}

std::string DesktopEntries::resolve(const std::string& program) const {
  if (program.empty()) {
    return {};
  }
  if (program.find('/') != std::string::npos) {
    return program[0] == '/' ? realPath(program) : std::string();
  }
  for (const std::string& dir : environment_.path) {
    const std::string candidate = dir + "/" + program;
    if (::access(candidate.c_str(), X_OK) == 0) {
      std::string real = realPath(candidate);
      if (!real.empty()) {
        return real;
      }
    }
  }
  return {};
}

const DesktopEntries::Entry* DesktopEntries::forProgram(const std::string& programPath) const {
  std::string real = realPath(programPath);
  if (real.empty()) {
    real = programPath;
  }
  if (auto found = byProgram_.find(real); found != byProgram_.end()) {
    return &entries_[found->second];
  }
  const std::string name = lower(baseName(real));
  const std::string called = lower(baseName(programPath));
  for (const auto* index : {&byWindowClass_, &byFileName_}) {
    for (const std::string& key : {name, called}) {
      if (auto found = index->find(key); found != index->end()) {
        return &entries_[found->second];
      }
    }
  }
  return nullptr;
}

}  // namespace s::platform

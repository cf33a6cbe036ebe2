#include "platform/linux/desktop/DesktopEntries.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "framework/file/DesktopEntry.h"
#include "framework/file/NativePath.h"
#include "platform/linux/desktop/KeyFile.h"

namespace s::platform {

namespace {

constexpr int kMaxDepth = 4;

std::string joined(const std::string& folder, const std::string& name) {
  std::string path = folder;
  path += '/';
  path += name;
  return path;
}

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

}  // namespace

DesktopEntries::DesktopEntries(const DesktopEnvironment& environment) : environment_(environment) {
  // Earlier folders win: a file id seen once is not read again.
  readFolder(environment.dataHome + "/applications", "", 0);
  for (const std::string& dir : environment.dataDirs) {
    readFolder(dir + "/applications", "", 0);
  }
}

std::string DesktopEntries::execProgram(const std::vector<std::u16string>& exec) {
  size_t i = 0;
  if (i < exec.size() && baseName(file::toNative(exec[i])) == "env") {
    ++i;
    while (i < exec.size() && (exec[i].find(u'=') != std::u16string::npos ||
                               (!exec[i].empty() && exec[i][0] == u'-'))) {
      // The options that take a separate argument: -u NAME, -C FOLDER.
      const bool argument =
          exec[i] == u"-u" || exec[i] == u"-C" || exec[i] == u"--unset" || exec[i] == u"--chdir";
      i += argument ? 2 : 1;
    }
  }
  return i < exec.size() ? file::toNative(exec[i]) : std::string();
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
    const std::string path = joined(root, name);
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

void DesktopEntries::add(const std::string& id, const std::string& path) {
  if (!ids_.insert(id).second) {
    return;  // hidden or not, an earlier folder decided this id
  }
  const file::DesktopEntry entry = file::DesktopEntry::parse(KeyFile::readText(path));
  if (entry.type != u"Application" || entry.hidden) {
    return;
  }
  const size_t index = entries_.size();
  entries_.push_back({id, path, file::toNative(entry.icon)});
  for (const std::string& program : {file::toNative(entry.tryExec), execProgram(entry.exec)}) {
    const std::string real = resolve(program);
    if (!real.empty()) {
      byProgram_.emplace(real, index);
    }
  }
  const std::string windowClass = file::toNative(entry.startupWmClass);
  if (!windowClass.empty()) {
    byWindowClass_.emplace(lower(windowClass), index);
  }
  // "org.example.Editor.desktop" answers to "org.example.editor" and to "editor".
  std::string stem = lower(baseName(path).substr(0, baseName(path).size() - 8));
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
    const std::string candidate = joined(dir, program);
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

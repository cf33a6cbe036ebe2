#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/linux/desktop/DesktopEnvironment.h"

namespace s::platform {

// The application entries (".desktop" files) of the XDG data folders, read once and indexed
// by the program each one starts, its window class and its file name.
class DesktopEntries {
 public:
  struct Entry {
    std::string id;    // "org.example.App.desktop", sub-folders joined with "-"
    std::string file;  // where it was read
    std::string icon;  // the Icon value: a name or an absolute path
  };

  explicit DesktopEntries(const DesktopEnvironment& environment);

  // The entry for a program file: the one whose Exec or TryExec names that file (directly
  // or through PATH), else one whose StartupWMClass or file name is the program's name
  // (ignoring case). Null when none.
  const Entry* forProgram(const std::string& programPath) const;

  size_t size() const { return entries_.size(); }

  // The program an Exec command starts: its first argument, past an "env" and its
  // assignments and options.
  static std::string execProgram(const std::vector<std::u16string>& exec);

 private:
  void readFolder(const std::string& root, const std::string& prefix, int depth);
  void add(const std::string& id, const std::string& path);
  std::string resolve(const std::string& program) const;

  const DesktopEnvironment& environment_;
  std::vector<Entry> entries_;
  std::unordered_set<std::string> ids_;
  std::unordered_map<std::string, size_t> byProgram_;  // real path of Exec/TryExec
  std::unordered_map<std::string, size_t> byWindowClass_;
  std::unordered_map<std::string, size_t> byFileName_;
};

}  // namespace s::platform

#include "platform/linux/desktop/KeyFile.h"

#include <fstream>
#include <sstream>

namespace s::platform {

namespace {

constexpr std::streamsize kMaxFile = 1 << 20;

std::string trim(const std::string& text) {
  const size_t start = text.find_first_not_of(" \t\r");
  if (start == std::string::npos) {
    return {};
  }
  const size_t end = text.find_last_not_of(" \t\r");
  return text.substr(start, end - start + 1);
}

}  // namespace

std::string KeyFile::readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return {};
  }
  std::string text(static_cast<size_t>(kMaxFile) + 1, '\0');
  in.read(text.data(), kMaxFile + 1);
  if (in.gcount() > kMaxFile) {
    return {};
  }
  text.resize(static_cast<size_t>(in.gcount()));
  return text;
}

KeyFile KeyFile::read(const std::string& path) {
  return parse(readText(path));
}

KeyFile KeyFile::parse(const std::string& text) {
  KeyFile file;
  std::istringstream lines(text);
  std::string line;
  std::string group;
  while (std::getline(lines, line)) {
    line = trim(line);
    if (line.empty() || line[0] == '#') {
      continue;
    }
    if (line.front() == '[' && line.back() == ']') {
      group = line.substr(1, line.size() - 2);
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string::npos || group.empty()) {
      continue;
    }
    // The first occurrence of a key in a group is the one that counts.
    file.values_.emplace(std::make_pair(group, trim(line.substr(0, equals))),
                         trim(line.substr(equals + 1)));
  }
  return file;
}

std::string KeyFile::xfconfValue(const std::string& path, const std::string& property) {
  const std::string text = readText(path);
  const size_t at = text.find("name=\"" + property + "\"");
  if (at == std::string::npos) {
    return {};
  }
  const size_t end = text.find('>', at);
  const size_t value = text.find("value=\"", at);
  if (value == std::string::npos || value > end) {
    return {};
  }
  const size_t close = text.find('"', value + 7);
  return close == std::string::npos ? std::string() : text.substr(value + 7, close - value - 7);
}

bool KeyFile::has(const std::string& group, const std::string& key) const {
  return values_.count({group, key}) != 0;
}

std::string KeyFile::value(const std::string& group, const std::string& key) const {
  auto found = values_.find({group, key});
  return found == values_.end() ? std::string() : found->second;
}

}  // namespace s::platform

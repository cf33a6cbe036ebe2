#include "platform/ui/UriList.h"

#include <climits>
#include <optional>

namespace s::platform::ui {

namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

// The path of "/..." with its %XX escapes decoded; nothing for what no file can be named.
std::optional<std::string> decodedPath(std::string_view encoded) {
  if (encoded.empty() || encoded.front() != '/') {
    return std::nullopt;
  }
  std::string path;
  for (std::size_t i = 0; i < encoded.size(); ++i) {
    char c = encoded[i];
    if (c == '%') {
      const int high = i + 2 < encoded.size() ? hexValue(encoded[i + 1]) : -1;
      const int low = high >= 0 ? hexValue(encoded[i + 2]) : -1;
      if (low < 0) {
        return std::nullopt;
      }
      c = static_cast<char>(high * 16 + low);
      i += 2;
    }
    if (c == '\0') {
      return std::nullopt;
    }
    path += c;
  }
  if (path.size() >= PATH_MAX) {
    return std::nullopt;
  }
  return path;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) {
    return false;
  }
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const char a = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] + 32) : text[i];
    if (a != prefix[i]) {
      return false;
    }
  }
  return true;
}

}  // namespace

UriList UriList::parse(std::string_view text, std::string_view hostName) {
  UriList list;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
      line.remove_suffix(1);
    }
    if (line.empty() || line.front() == '#') {
      continue;
    }
    if (!startsWithNoCase(line, "file:")) {
      list.links_.emplace_back(line);
      continue;
    }
    std::string_view rest = line.substr(5);
    std::string_view host;
    if (rest.starts_with("//")) {
      rest.remove_prefix(2);
      const std::size_t slash = rest.find('/');
      host = rest.substr(0, slash);
      rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
    }
    if (!host.empty() && host != "localhost" && host != hostName) {
      list.links_.emplace_back(line);
      continue;
    }
    if (std::optional<std::string> path = decodedPath(rest)) {
      list.files_.push_back(std::move(*path));
    }
  }
  return list;
}

}  // namespace s::platform::ui

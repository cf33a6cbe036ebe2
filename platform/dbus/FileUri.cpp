#include "platform/dbus/FileUri.h"

#include <string_view>

namespace s::platform {

namespace {

bool isUnreserved(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~' || c == '/';
}

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

}  // namespace

std::string fileUri(const std::string& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = "file://";
  for (char byte : path) {
    auto c = static_cast<unsigned char>(byte);
    if (isUnreserved(c)) {
      uri += byte;
    } else {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 15];
    }
  }
  return uri;
}

std::string pathOfFileUri(const std::string& uri) {
  std::string_view rest(uri);
  if (!rest.starts_with("file://")) {
    return {};
  }
  rest.remove_prefix(7);
  if (rest.starts_with("localhost/")) {
    rest.remove_prefix(9);
  }
  if (!rest.starts_with('/')) {
    return {};
  }
  std::string path;
  for (size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] != '%') {
      path += rest[i];
      continue;
    }
    int high = i + 2 < rest.size() ? hexValue(rest[i + 1]) : -1;
    int low = high >= 0 ? hexValue(rest[i + 2]) : -1;
    // A NUL byte cannot be in a path.
    if (low < 0 || (high == 0 && low == 0)) {
      return {};
    }
    path += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return path;
}

}  // namespace s::platform

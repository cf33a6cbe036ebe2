#include "platform/dbus/FileUri.h"

#include "platform/ui/UriList.h"

namespace s::platform {

namespace {

bool isUnreserved(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~' || c == '/';
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
  // Only a URI of this machine with no host part names a file here.
  ui::UriList list = ui::UriList::parse(uri, "");
  return list.files().size() == 1 && list.links().empty() ? list.files().front() : std::string();
}

}  // namespace s::platform

#include "framework/file/NativePath.h"

#include "framework/str/Utf8.h"

namespace s::file {

std::string toNative(std::u16string_view path) {
  std::string bytes(path.size() * 3, '\0');
  bytes.resize(str::utf8::encode(path, reinterpret_cast<uint8_t*>(bytes.data())));
  return bytes;
}

std::u16string fromNative(std::string_view path) {
  std::u16string text(path.size(), u'\0');
  text.resize(
      str::utf8::decode(reinterpret_cast<const uint8_t*>(path.data()), path.size(), text.data()));
  return text;
}

}  // namespace s::file

#include "image/IconLoader.h"

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "image/BmpDecoder.h"
#include "image/FileByteSource.h"
#include "image/GifDecoder.h"
#include "image/IcoDecoder.h"
#include "image/ImageFormat.h"
#include "image/JpegDecoder.h"
#include "image/PeResources.h"
#include "image/PngDecoder.h"

namespace s::image {

namespace {

// Pictures larger than this are not icons; refusing them keeps a list's paint bounded.
constexpr uint64_t kMaxPictureFile = 64u << 20;
constexpr uint64_t kMinPictureFile = 100;

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

size_t findLastIgnoreCase(std::string_view text, std::string_view what) {
  if (text.size() < what.size()) {
    return std::string_view::npos;
  }
  for (size_t i = text.size() - what.size() + 1; i-- > 0;) {
    bool same = true;
    for (size_t j = 0; j < what.size() && same; ++j) {
      same = lower(text[i + j]) == what[j];
    }
    if (same) {
      return i;
    }
  }
  return std::string_view::npos;
}

// The C runtime's decimal conversion: leading blanks and a sign, digits up to the first
// other character, 0 when there are none; out-of-range values saturate.
long decimal(std::string_view text) {
  std::string copy(text);
  errno = 0;
  return std::strtol(copy.c_str(), nullptr, 10);
}

}  // namespace

bool parseModuleSource(std::string_view source, std::string& module, long& index) {
  size_t at = findLastIgnoreCase(source, ".dll,");
  if (at == std::string_view::npos) {
    at = findLastIgnoreCase(source, ".exe,");
  }
  if (at == std::string_view::npos) {
    return false;
  }
  module.assign(source.substr(0, at + 4));
  index = decimal(source.substr(at + 5));
  return true;
}

PoolPtr<ImageCache> loadIcon(std::string_view source) {
  std::string module;
  long index = 0;
  if (parseModuleSource(source, module, index)) {
    return loadModuleIcon(module, index);
  }
  return loadPictureFile(std::string(source));
}

PoolPtr<ImageCache> loadModuleIcon(const std::string& module, long index) {
  FileByteSource file;
  if (index < 0 || index > INT32_MAX || !file.open(module)) {
    return {};
  }
  PeResources resources(file);
  std::vector<IconEntry> entries;
  if (!resources.open() || !resources.iconGroup(static_cast<int>(index), entries)) {
    return {};
  }
  const int chosen = chooseIconEntry(entries, 16, 16, 32);
  std::vector<uint8_t> data;
  if (chosen < 0 || !resources.readIcon(entries[static_cast<size_t>(chosen)], data)) {
    return {};
  }
  return IcoDecoder::decodeEntry(data);
}

PoolPtr<ImageCache> loadPictureFile(const std::string& path) {
  FileByteSource file;
  if (!file.open(path) || file.size() <= kMinPictureFile || file.size() > kMaxPictureFile) {
    return {};
  }
  std::vector<uint8_t> bytes(file.size());
  if (!file.read(0, bytes.data(), bytes.size())) {
    return {};
  }
  return decodePicture(bytes);
}

PoolPtr<ImageCache> decodePicture(Bytes bytes) {
  switch (detectImageFormat(bytes, bytes.size())) {
    case ImageFormat::Jpeg:
      return JpegDecoder::decode(bytes);
    case ImageFormat::Gif:
      return GifDecoder::decode(bytes);
    case ImageFormat::Png:
      return PngDecoder::decode(bytes);
    case ImageFormat::Bmp:
      return BmpDecoder::decode(bytes);
    case ImageFormat::Ico:
      return IcoDecoder::decode(bytes);
    case ImageFormat::Tiff:
    case ImageFormat::Unknown:
      break;
  }
  return {};
}

}  // namespace s::image

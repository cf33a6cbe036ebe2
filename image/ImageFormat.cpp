#include "image/ImageFormat.h"

#include <cstring>

#include "image/BmpDecoder.h"
#include "image/IcoDecoder.h"
#include "image/PngDecoder.h"

namespace s::image {

namespace {

bool startsWith(Bytes head, const char* text, size_t length) {
  return head.size() >= length && std::memcmp(head.data(), text, length) == 0;
}

bool isJpeg(Bytes head) {
  if (head.size() < 4 || head[0] != 0xFF || head[1] != 0xD8 || head[2] != 0xFF) {
    return false;
  }
  const uint8_t marker = head[3];
  return (marker >= 0xC0 && marker <= 0xEF) || marker == 0xF0 || marker == 0xFD || marker == 0xFE ||
         marker == 0x01;
}

}  // namespace

ImageFormat detectImageFormat(Bytes head, uint64_t fileSize) {
  constexpr size_t kHeadSize = 100;
  head = head.first(std::min(head.size(), kHeadSize));
  if (isJpeg(head)) {
    return ImageFormat::Jpeg;
  }
  if (startsWith(head, "GIF87a", 6) || startsWith(head, "GIF89a", 6)) {
    return ImageFormat::Gif;
  }
  if (PngDecoder::recognises(head)) {
    return ImageFormat::Png;
  }
  if (BmpDecoder::recognises(head)) {
    return ImageFormat::Bmp;
  }
  if (IcoDecoder::recognises(head, fileSize)) {
    return ImageFormat::Ico;
  }
  if (startsWith(head, "MM*", 3) || startsWith(head, "II*", 3)) {
    return ImageFormat::Tiff;
  }
  return ImageFormat::Unknown;
}

}  // namespace s::image

#include <cstddef>
#include <cstdint>

#include "image/IcoDecoder.h"
#include "image/ImageFormat.h"

// The recognition rule, then the directory, the choice and the entry's picture.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  s::image::Bytes bytes(data, size);
  s::image::detectImageFormat(bytes, size);
  s::image::IcoDecoder::decode(bytes);
  return 0;
}

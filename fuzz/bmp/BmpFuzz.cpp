#include <cstddef>
#include <cstdint>

#include "image/BmpDecoder.h"

// A BMP file, and the same bytes as the bitmap of an icon entry.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  s::image::BmpDecoder::decode({data, size});
  s::image::BmpDecoder::decodeIconBitmap({data, size});
  return 0;
}

#include <cstddef>
#include <cstdint>

#include "image/PngDecoder.h"

// Any bytes: a picture or nothing, never a fault.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  s::image::PngDecoder::decode({data, size});
  return 0;
}

#include <cstddef>
#include <cstdint>

#include "image/GifDecoder.h"

// Any bytes: the first frame or nothing.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  s::image::GifDecoder::decode({data, size});
  return 0;
}

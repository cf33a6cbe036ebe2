#include <cstddef>
#include <cstdint>

#include "image/JpegDecoder.h"

// Any bytes: a picture or nothing; a library error must not end the process.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  s::image::JpegDecoder::decode({data, size});
  return 0;
}

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "framework/str/StrBuffer.h"

// Bytes from files and the network: decoding must stay within them, and decoding what the
// encoder wrote must give the same units again.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  s::PoolPtr<s::str::StrBuffer> text = s::str::StrBuffer::make();
  text->assignUtf8(reinterpret_cast<const char*>(data), false, static_cast<int64_t>(size));
  if (text->length() > size) {
    std::abort();
  }
  s::PoolPtr<s::str::StrBuffer> again = s::str::StrBuffer::make();
  again->assignUtf8(text->toUtf8String());
  if (!again->equals(*text)) {
    std::abort();
  }
  text->assignCodePage(936, reinterpret_cast<const char*>(data), true, static_cast<int64_t>(size));
  text->assignCodePage(1201, reinterpret_cast<const char*>(data), true, static_cast<int64_t>(size));
  s::col::ArrayU08 bytes;
  text->toCodePage(1252, bytes, false);
  return 0;
}

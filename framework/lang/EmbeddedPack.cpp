#include "framework/lang/EmbeddedPack.h"

extern "C" {
extern const unsigned char netvigil_lang_pack[];
extern const unsigned long netvigil_lang_pack_size;
}

namespace s::lang {

std::span<const uint8_t> embeddedPack() {
  return {netvigil_lang_pack, netvigil_lang_pack_size};
}

}  // namespace s::lang

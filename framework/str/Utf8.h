#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace s::str::utf8 {

// Writes the UTF-8 form of the units to out, which holds at least 3 bytes per unit; lone
// surrogates become U+FFFD. Answers the bytes written.
size_t encode(std::u16string_view units, uint8_t* out);

// Decodes n bytes into out, which holds at least n units. Each maximal subpart of an invalid
// sequence becomes one U+FFFD; nothing past n is read. Answers the units written.
size_t decode(const uint8_t* in, size_t n, char16_t* out);

}  // namespace s::str::utf8

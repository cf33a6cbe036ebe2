#include "framework/str/Utf8.h"

namespace s::str::utf8 {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool isHighSurrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char32_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

}  // namespace

size_t encode(std::u16string_view units, uint8_t* out) {
  uint8_t* at = out;
  for (size_t i = 0; i < units.size(); ++i) {
    char32_t c = units[i];
    if (isHighSurrogate(c) && i + 1 < units.size() && isLowSurrogate(units[i + 1])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
      c = kReplacement;
    }
    if (c < 0x80) {
      *at++ = static_cast<uint8_t>(c);
    } else if (c < 0x800) {
      *at++ = static_cast<uint8_t>(0xC0 | (c >> 6));
      *at++ = static_cast<uint8_t>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      *at++ = static_cast<uint8_t>(0xE0 | (c >> 12));
      *at++ = static_cast<uint8_t>(0x80 | ((c >> 6) & 0x3F));
      *at++ = static_cast<uint8_t>(0x80 | (c & 0x3F));
    } else {
      *at++ = static_cast<uint8_t>(0xF0 | (c >> 18));
      *at++ = static_cast<uint8_t>(0x80 | ((c >> 12) & 0x3F));
      *at++ = static_cast<uint8_t>(0x80 | ((c >> 6) & 0x3F));
      *at++ = static_cast<uint8_t>(0x80 | (c & 0x3F));
    }
  }
  return static_cast<size_t>(at - out);
}

size_t decode(const uint8_t* in, size_t n, char16_t* out) {
  char16_t* at = out;
  size_t i = 0;
  while (i < n) {
    uint8_t lead = in[i];
    if (lead < 0x80) {
      *at++ = lead;
      ++i;
      continue;
    }
    // The continuation count and the range the first continuation byte must lie in, which
    // excludes overlongs, surrogates and values above U+10FFFF.
    int need = 0;
    uint8_t lower = 0x80;
    uint8_t upper = 0xBF;
    char32_t c = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      need = 1;
      c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      need = 2;
      c = lead & 0x0F;
      lower = lead == 0xE0 ? 0xA0 : 0x80;
      upper = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      need = 3;
      c = lead & 0x07;
      lower = lead == 0xF0 ? 0x90 : 0x80;
      upper = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
      *at++ = kReplacement;
      ++i;
      continue;
    }
    size_t j = i + 1;
    int got = 0;
    while (got < need && j < n && in[j] >= lower && in[j] <= upper) {
      c = (c << 6) | (in[j] & 0x3F);
      ++j;
      ++got;
      lower = 0x80;
      upper = 0xBF;
    }
    i = j;
    if (got < need) {
      *at++ = kReplacement;
    } else if (c >= 0x10000) {
      c -= 0x10000;
      *at++ = static_cast<char16_t>(0xD800 + (c >> 10));
      *at++ = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      *at++ = static_cast<char16_t>(c);
    }
  }
  return static_cast<size_t>(at - out);
}

}  // namespace s::str::utf8

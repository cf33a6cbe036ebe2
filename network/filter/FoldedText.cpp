#include "network/filter/FoldedText.h"

namespace s::system::network::filter {

char16_t folded(char16_t unit) {
  if (unit < 0x80) {
    return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
  }
  // The capitals of Latin-1, Latin Extended-A, Greek and Cyrillic, without the C library's
  // case tables, which follow the locale (none, in a program that sets none).
  if ((unit >= 0xC0 && unit <= 0xDE && unit != 0xD7) || (unit >= 0x391 && unit <= 0x3AB) ||
      (unit >= 0x410 && unit <= 0x42F)) {
    return static_cast<char16_t>(unit + 0x20);
  }
  if (unit >= 0x400 && unit <= 0x40F) {
    return static_cast<char16_t>(unit + 0x50);
  }
  // Greek capitals with a tonos.
  switch (unit) {
    case 0x386:
      return 0x3AC;
    case 0x388:
    case 0x389:
    case 0x38A:
      return static_cast<char16_t>(unit + 0x25);
    case 0x38C:
      return 0x3CC;
    case 0x38E:
    case 0x38F:
      return static_cast<char16_t>(unit + 0x3F);
    default:
      break;
  }
  bool evenCapital = (unit >= 0x100 && unit <= 0x137) || (unit >= 0x14A && unit <= 0x177);
  bool oddCapital = (unit >= 0x139 && unit <= 0x148) || (unit >= 0x179 && unit <= 0x17E);
  if ((evenCapital && unit % 2 == 0) || (oddCapital && unit % 2 == 1)) {
    return static_cast<char16_t>(unit + 1);
  }
  return unit;
}

std::u16string foldedCopy(std::u16string_view text) {
  std::u16string copy(text);
  for (char16_t& unit : copy) {
    unit = folded(unit);
  }
  return copy;
}

bool containsFolded(std::u16string_view text, std::u16string_view needle) {
  if (needle.size() > text.size()) {
    return false;
  }
  size_t last = text.size() - needle.size();
  for (size_t start = 0; start <= last; ++start) {
    size_t i = 0;
    while (i < needle.size() && folded(text[start + i]) == needle[i]) {
      ++i;
    }
    if (i == needle.size()) {
      return true;
    }
  }
  return false;
}

bool equalsFolded(std::u16string_view text, std::u16string_view value) {
  return text.size() == value.size() && containsFolded(text, value);
}

}  // namespace s::system::network::filter

#include "framework/col/ElementText.h"

#include <cstdio>

namespace s::col {

namespace {

std::u16string asciiText(const std::string& text) {
  return {text.begin(), text.end()};
}

std::u16string joined(uint32_t count, const ElementTextOf& element, std::u16string_view separator) {
  std::u16string text;
  for (uint32_t i = 0; i < count; ++i) {
    if (i > 0) {
      text += separator;
    }
    text += element(i);
  }
  return text;
}

}  // namespace

std::u16string collectionText(std::u16string_view name, uint32_t count,
                              const ElementTextOf& element) {
  std::u16string text(name);
  return text + u'[' + joined(count, element, u", ") + u']';
}

std::u16string collectionXmlText(std::u16string_view name, uint32_t count,
                                 const ElementTextOf& element) {
  std::u16string tag(name);
  return u"<" + tag + u" length=\"" + asciiText(std::to_string(count)) + u"\">" +
         joined(count, element, u" ") + u"</" + tag + u">";
}

std::u16string hexText(const std::byte* element, size_t size) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::u16string text;
  for (size_t b = size; b-- > 0;) {
    auto value = std::to_integer<unsigned>(element[b]);
    text += static_cast<char16_t>(kDigits[value >> 4]);
    text += static_cast<char16_t>(kDigits[value & 15]);
  }
  return text;
}

std::u16string pointerText(const void* pointer) {
  char text[2 + 16 + 1];
  std::snprintf(text, sizeof text, "%p", pointer);
  return asciiText(text);
}

}  // namespace s::col

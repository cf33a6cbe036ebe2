#include "app/console/TerminalText.h"

#include <locale.h>
#include <wchar.h>

#include "framework/str/Utf8.h"

namespace s::app::console {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr std::string_view kEllipsis = "\u2026";

// The character at `i`, moving `i` past it; a lone surrogate is U+FFFD.
char32_t next(std::u16string_view text, size_t& i) {
  char32_t c = text[i++];
  if (c >= 0xD800 && c <= 0xDBFF && i < text.size() && text[i] >= 0xDC00 && text[i] <= 0xDFFF) {
    return 0x10000 + ((c - 0xD800) << 10) + (text[i++] - 0xDC00);
  }
  return c >= 0xD800 && c <= 0xDFFF ? kReplacement : c;
}

// The C library's character widths are those of the UTF-8 locale, whatever the program's
// own locale is: the thread takes the C.UTF-8 one for each question.
int libraryWidth(char32_t c) {
  static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
  if (utf8 == static_cast<locale_t>(nullptr)) {
    return c < 0x20 || (c >= 0x7F && c < 0xA0) ? -1 : 1;
  }
  locale_t previous = uselocale(utf8);
  int width = wcwidth(static_cast<wchar_t>(c));
  uselocale(previous);
  return width;
}

// The character a terminal is given for `c`, and its columns.
char32_t displayed(char32_t c, uint32_t& columns) {
  int width = c < 0x7F && c >= 0x20 ? 1 : libraryWidth(c);
  if (width < 0) {
    columns = 1;
    return kReplacement;
  }
  columns = static_cast<uint32_t>(width);
  return c;
}

void appendUtf8(std::string& out, char32_t c) {
  char16_t units[2];
  size_t count = 1;
  if (c >= 0x10000) {
    units[0] = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
    units[1] = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    count = 2;
  } else {
    units[0] = static_cast<char16_t>(c);
  }
  uint8_t bytes[6];
  size_t written = str::utf8::encode(std::u16string_view(units, count), bytes);
  out.append(reinterpret_cast<const char*>(bytes), written);
}

// Appends what fits in `width` columns; answers the columns used. With `cut` set, the text
// was longer and its last column holds "…".
uint32_t appendFitting(std::string& out, std::u16string_view text, uint32_t width, bool& cut) {
  cut = columnsOf(text) > width;
  uint32_t room = cut && width > 0 ? width - 1 : width;
  uint32_t used = 0;
  for (size_t i = 0; i < text.size();) {
    uint32_t columns = 0;
    char32_t c = displayed(next(text, i), columns);
    if (used + columns > room) {
      break;
    }
    appendUtf8(out, c);
    used += columns;
  }
  if (cut && width > 0) {
    out.append(kEllipsis);
    ++used;
  }
  return used;
}

}  // namespace

uint32_t columnsOf(std::u16string_view text) {
  uint32_t total = 0;
  for (size_t i = 0; i < text.size();) {
    uint32_t columns = 0;
    displayed(next(text, i), columns);
    total += columns;
  }
  return total;
}

std::string fitted(std::u16string_view text, uint32_t width, bool alignRight) {
  std::string body;
  bool cut = false;
  uint32_t used = appendFitting(body, text, width, cut);
  if (used >= width) {
    return body;
  }
  std::string padding(width - used, ' ');
  return alignRight ? padding + body : body + padding;
}

std::string shown(std::u16string_view text, uint32_t width) {
  std::string out;
  if (width == 0) {
    for (size_t i = 0; i < text.size();) {
      uint32_t columns = 0;
      appendUtf8(out, displayed(next(text, i), columns));
    }
    return out;
  }
  bool cut = false;
  appendFitting(out, text, width, cut);
  return out;
}

}  // namespace s::app::console

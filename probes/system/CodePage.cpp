#include "probes/system/CodePage.h"

#include <langinfo.h>
#include <locale.h>
#include <strings.h>

#include <cstdlib>

namespace s::system::probes {

int charsetNumber(std::string_view charset) {
  struct Known {
    std::string_view name;
    int number;
  };
  // The character sets glibc's locales use, with their numbers in IANA's registry.
  static constexpr Known kKnown[] = {
      {"UTF-8", 106},       {"ANSI_X3.4-1968", 3}, {"US-ASCII", 3},      {"ISO-8859-1", 4},
      {"ISO-8859-2", 5},    {"ISO-8859-3", 6},     {"ISO-8859-4", 7},    {"ISO-8859-5", 8},
      {"ISO-8859-6", 9},    {"ISO-8859-7", 10},    {"ISO-8859-8", 11},   {"ISO-8859-9", 12},
      {"ISO-8859-10", 13},  {"ISO-8859-13", 109},  {"ISO-8859-14", 110}, {"ISO-8859-15", 111},
      {"ISO-8859-16", 112}, {"KOI8-R", 2084},      {"KOI8-U", 2088},     {"EUC-JP", 18},
      {"SHIFT_JIS", 17},    {"EUC-KR", 38},        {"GB2312", 2025},     {"GBK", 113},
      {"GB18030", 114},     {"BIG5", 2026},        {"BIG5-HKSCS", 2101}, {"TIS-620", 2259},
      {"CP1251", 2251},     {"CP1255", 2255},      {"CP1252", 2252},
  };
  for (const Known& known : kKnown) {
    if (known.name.size() == charset.size() &&
        strncasecmp(known.name.data(), charset.data(), charset.size()) == 0) {
      return known.number;
    }
  }
  return 0;
}

CodePage readCodePage() {
  CodePage page;
  // A locale object of its own: setlocale() would change the whole program's.
  locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
  const bool installed = locale != static_cast<locale_t>(nullptr);
  if (!installed) {
    // The environment names a locale that is not installed: the C library uses "C".
    locale = newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(nullptr));
  }
  for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != 0) {
      page.locale = value;
      break;
    }
  }
  if (page.locale.empty()) {
    page.locale = "C";
  }
  if (!installed) {
    page.locale += " (not installed)";
  }
  if (locale != static_cast<locale_t>(nullptr)) {
    page.charset = nl_langinfo_l(CODESET, locale);
    freelocale(locale);
  }
  page.number = charsetNumber(page.charset);
  return page;
}

}  // namespace s::system::probes

#pragma once

#include <string>
#include <string_view>

namespace s::system::probes {

// The character set of the user's locale, as the C library names it for LC_CTYPE.
struct CodePage {
  std::string locale;   // "de_DE.UTF-8", "C"
  std::string charset;  // "UTF-8", "ISO-8859-1", "ANSI_X3.4-1968"
  int number = 0;       // the character set's IANA MIBenum, 0 for one without a known number
};

// The IANA MIBenum of a character set name (any letter case); 0 when unknown.
int charsetNumber(std::string_view charset);

// The locale the environment chooses (LC_ALL, LC_CTYPE, LANG), read without changing the
// program's own locale.
CodePage readCodePage();

}  // namespace s::system::probes

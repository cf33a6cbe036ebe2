#pragma once

#include <string>
#include <string_view>

namespace s::lang {

// The English language name (as the pack's engName, first letter upper-cased, the rest
// lower-cased: "German", "Portuguese_brazilian") of a POSIX locale name such as
// "de_DE.UTF-8", "pt_BR", "sr_RS@latin". "C", "POSIX" and the empty name give "English";
// a language the program has no name for gives "Unknown".
std::u16string languageNameOfLocale(std::string_view locale);

// The user's interface language from LANGUAGE (its first entry), LC_ALL, LC_MESSAGES and
// LANG, the first that is set, read anew on every call.
std::u16string languageNameFromEnvironment();

// languageNameFromEnvironment(), computed once.
const std::u16string& userLanguageName();

}  // namespace s::lang

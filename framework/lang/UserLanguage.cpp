#include "framework/lang/UserLanguage.h"

#include <array>
#include <cstdlib>
#include <utility>

namespace s::lang {

namespace {

using Pair = std::pair<std::string_view, std::string_view>;

// Language codes (ISO 639) with the upper-case name the program knows them by.
constexpr std::array kLanguages = {
    Pair{"af", "AFRIKAANS"},   Pair{"am", "AMHARIC"},        Pair{"ar", "ARABIC"},
    Pair{"arn", "MAPUDUNGUN"}, Pair{"as", "ASSAMESE"},       Pair{"az", "AZERI"},
    Pair{"ba", "BASHKIR"},     Pair{"be", "BELARUSIAN"},     Pair{"bg", "BULGARIAN"},
    Pair{"bn", "BENGALI"},     Pair{"bo", "TIBETAN"},        Pair{"br", "BRETON"},
    Pair{"bs", "BOSNIAN"},     Pair{"ca", "CATALAN"},        Pair{"co", "CORSICAN"},
    Pair{"cs", "CZECH"},       Pair{"cy", "WELSH"},          Pair{"da", "DANISH"},
    Pair{"de", "GERMAN"},      Pair{"dsb", "LOWER_SORBIAN"}, Pair{"dv", "DIVEHI"},
    Pair{"el", "GREEK"},       Pair{"en", "ENGLISH"},        Pair{"es", "SPANISH"},
    Pair{"et", "ESTONIAN"},    Pair{"eu", "BASQUE"},         Pair{"fa", "PERSIAN"},
    Pair{"fi", "FINNISH"},     Pair{"fil", "FILIPINO"},      Pair{"fo", "FAEROESE"},
    Pair{"fr", "FRENCH"},      Pair{"fy", "FRISIAN"},        Pair{"ga", "IRISH"},
    Pair{"gl", "GALICIAN"},    Pair{"gsw", "ALSATIAN"},      Pair{"gu", "GUJARATI"},
    Pair{"ha", "HAUSA"},       Pair{"he", "HEBREW"},         Pair{"hi", "HINDI"},
    Pair{"hr", "CROATIAN"},    Pair{"hsb", "UPPER_SORBIAN"}, Pair{"hu", "HUNGARIAN"},
    Pair{"hy", "ARMENIAN"},    Pair{"id", "INDONESIAN"},     Pair{"ig", "IGBO"},
    Pair{"ii", "YI"},          Pair{"is", "ICELANDIC"},      Pair{"it", "ITALIAN"},
    Pair{"iu", "INUKTITUT"},   Pair{"ja", "JAPANESE"},       Pair{"ka", "GEORGIAN"},
    Pair{"kk", "KAZAK"},       Pair{"kl", "GREENLANDIC"},    Pair{"km", "KHMER"},
    Pair{"kn", "KANNADA"},     Pair{"ko", "KOREAN"},         Pair{"kok", "KONKANI"},
    Pair{"ks", "KASHMIRI"},    Pair{"ky", "KYRGYZ"},         Pair{"lb", "LUXEMBOURGISH"},
    Pair{"lo", "LAO"},         Pair{"lt", "LITHUANIAN"},     Pair{"lv", "LATVIAN"},
    Pair{"mi", "MAORI"},       Pair{"mk", "MACEDONIAN"},     Pair{"ml", "MALAYALAM"},
    Pair{"mn", "MONGOLIAN"},   Pair{"moh", "MOHAWK"},        Pair{"mr", "MARATHI"},
    Pair{"ms", "MALAY"},       Pair{"mt", "MALTESE"},        Pair{"nb", "NORWEGIAN"},
    Pair{"ne", "NEPALI"},      Pair{"nl", "DUTCH"},          Pair{"nn", "NORWEGIAN"},
    Pair{"no", "NORWEGIAN"},   Pair{"nso", "SOTHO"},         Pair{"oc", "OCCITAN"},
    Pair{"or", "ORIYA"},       Pair{"pa", "PUNJABI"},        Pair{"pl", "POLISH"},
    Pair{"prs", "DARI"},       Pair{"ps", "PASHTO"},         Pair{"pt", "PORTUGUESE"},
    Pair{"qu", "QUECHUA"},     Pair{"quc", "KICHE"},         Pair{"quz", "QUECHUA"},
    Pair{"rm", "ROMANSH"},     Pair{"ro", "ROMANIAN"},       Pair{"ru", "RUSSIAN"},
    Pair{"rw", "KINYARWANDA"}, Pair{"sa", "SANSKRIT"},       Pair{"sah", "YAKUT"},
    Pair{"sd", "SINDHI"},      Pair{"se", "SAMI"},           Pair{"si", "SINHALESE"},
    Pair{"sk", "SLOVAK"},      Pair{"sl", "SLOVENIAN"},      Pair{"sq", "ALBANIAN"},
    Pair{"sr", "SERBIAN"},     Pair{"st", "SOTHO"},          Pair{"sv", "SWEDISH"},
    Pair{"sw", "SWAHILI"},     Pair{"syr", "SYRIAC"},        Pair{"ta", "TAMIL"},
    Pair{"te", "TELUGU"},      Pair{"tg", "TAJIK"},          Pair{"th", "THAI"},
    Pair{"ti", "TIGRIGNA"},    Pair{"tk", "TURKMEN"},        Pair{"tn", "TSWANA"},
    Pair{"tr", "TURKISH"},     Pair{"tt", "TATAR"},          Pair{"tzm", "TAMAZIGHT"},
    Pair{"ug", "UIGHUR"},      Pair{"uk", "UKRAINIAN"},      Pair{"ur", "URDU"},
    Pair{"uz", "UZBEK"},       Pair{"vi", "VIETNAMESE"},     Pair{"wo", "WOLOF"},
    Pair{"xh", "XHOSA"},       Pair{"yo", "YORUBA"},         Pair{"zh", "CHINESE_SIMPLIFIED"},
    Pair{"zu", "ZULU"},
};

// Whole locales that name a variant rather than the language: "language_REGION@modifier".
std::string_view variantName(std::string_view language, std::string_view region,
                             std::string_view modifier) {
  if (language == "zh") {
    return region == "TW" || region == "HK" || region == "MO" ? "CHINESE_TRADITIONAL"
                                                              : "CHINESE_SIMPLIFIED";
  }
  if (language == "pt" && region == "BR") {
    return "PORTUGUESE_BRAZILIAN";
  }
  if (language == "pt" && region == "PT") {
    return "PORTUGUESE_PORTUGAL";
  }
  if (language == "sr") {
    if (modifier == "latin") {
      return "SERBIAN_LATIN";
    }
    return region.empty() ? "SERBIAN" : "SERBIAN_CYRILLIC";
  }
  return {};
}

std::u16string capitalized(std::string_view upper) {
  std::u16string name;
  for (char c : upper) {
    name += static_cast<char16_t>(name.empty() ? c : (c >= 'A' && c <= 'Z' ? c + 32 : c));
  }
  return name;
}

}  // namespace

std::u16string languageNameOfLocale(std::string_view locale) {
  if (locale.empty() || locale == "C" || locale == "POSIX" || locale.starts_with("C.")) {
    return u"English";
  }
  // language[_REGION][.codeset][@modifier]
  std::string_view modifier;
  if (size_t at = locale.find('@'); at != std::string_view::npos) {
    modifier = locale.substr(at + 1);
    locale = locale.substr(0, at);
  }
  if (size_t dot = locale.find('.'); dot != std::string_view::npos) {
    locale = locale.substr(0, dot);
  }
  std::string_view language = locale;
  std::string_view region;
  if (size_t underscore = locale.find('_'); underscore != std::string_view::npos) {
    language = locale.substr(0, underscore);
    region = locale.substr(underscore + 1);
  }
  std::string_view variant = variantName(language, region, modifier);
  if (!variant.empty()) {
    return capitalized(variant);
  }
  for (const auto& [code, name] : kLanguages) {
    if (code == language) {
      return capitalized(name);
    }
  }
  return u"Unknown";
}

std::u16string languageNameFromEnvironment() {
  for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == 0) {
      continue;
    }
    std::string_view locale = value;
    // LANGUAGE is a list of preferences; the first one counts.
    locale = locale.substr(0, locale.find(':'));
    if (!locale.empty()) {
      return languageNameOfLocale(locale);
    }
  }
  return u"English";
}

const std::u16string& userLanguageName() {
  static const std::u16string name = languageNameFromEnvironment();
  return name;
}

}  // namespace s::lang

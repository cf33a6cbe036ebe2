#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "framework/file/NativePath.h"
#include "framework/lang/EmbeddedPack.h"
#include "framework/lang/Localizer.h"
#include "framework/lang/TextIds.h"
#include "framework/lang/UserLanguage.h"

namespace {

using s::PoolPtr;
using s::lang::Localizer;

PoolPtr<Localizer> embedded() {
  return PoolPtr<Localizer>(Localizer::fromResource(u"IDR_XML", 130));
}

PoolPtr<Localizer> fromText(std::string_view xml) {
  return PoolPtr<Localizer>(
      Localizer::fromBytes(reinterpret_cast<const uint8_t*>(xml.data()), xml.size()));
}

TEST(EmbeddedPackTest, HoldsEveryLanguageAndEveryTextTheProgramUses) {
  auto localizer = embedded();
  const auto& languages = localizer->languages();
  ASSERT_EQ(languages.size(), 34u);
  const char16_t* tags[] = {u"eng", u"bel", u"cze", u"zhs", u"cpn", u"deu", u"spa", u"ell", u"fra",
                            u"ita", u"jpn", u"kor", u"hun", u"rus", u"srp", u"swe", u"tur", u"ara",
                            u"ind", u"bul", u"zht", u"dan", u"est", u"hrv", u"nld", u"per", u"pol",
                            u"bra", u"rom", u"slk", u"fin", u"ukr", u"vec", u"vie"};
  for (size_t i = 0; i < languages.size(); ++i) {
    EXPECT_EQ(languages[i]->tag(), tags[i]);
    EXPECT_FALSE(languages[i]->trueName().empty());
    EXPECT_EQ(languages[i]->idCount(), s::lang::text::kAll.size()) << i;
    for (int32_t id : s::lang::text::kAll) {
      EXPECT_FALSE(languages[i]->text(id).empty()) << "language " << i << " has no text " << id;
    }
  }
  EXPECT_EQ(languages[13]->engName(), u"Russian");
  EXPECT_EQ(languages[32]->trueName(), u"Vèneto Vec-to (Partial)");

  // Escapes survive: kept spaces at both ends, line breaks.
  localizer->selectLanguage(u"English");
  EXPECT_EQ(localizer->text(s::lang::text::kSaveLogButton), u" Save Log... ");
  EXPECT_NE(localizer->text(s::lang::text::kErrorReportSaved).find(u'\n'), std::u16string::npos);
  EXPECT_NE(localizer->text(s::lang::text::kRawAccessAdvice).find(u"install-caps"),
            std::u16string::npos);
  EXPECT_EQ(localizer->text(s::lang::text::kMonths[7]), u"Aug");
  localizer->selectLanguage(u"German");
  EXPECT_NE(localizer->text(s::lang::text::kColumnProcessName),
            localizer->englishText(s::lang::text::kColumnProcessName));
  EXPECT_EQ(localizer->englishText(s::lang::text::kUnitSeconds), u"s");
}

TEST(EmbeddedPackTest, VersionDateAndAddressesComeFromTheBuildInEveryLanguage) {
  namespace ids = s::lang::text;
  std::ifstream dateFile(NETVIGIL_BUILD_DATE_FILE);
  std::string date;
  std::getline(dateFile, date);
  ASSERT_EQ(date.size(), 10u) << date;
  const std::u16string version = s::file::fromNative(NETVIGIL_VERSION);
  const std::u16string docs = s::file::fromNative(NETVIGIL_DOCS_ADDRESS);
  EXPECT_TRUE(docs.starts_with(u"file:///") && docs.ends_with(u"/README.md"));
  auto localizer = embedded();
  for (size_t i = 0; i < localizer->languages().size(); ++i) {
    localizer->selectLanguageAt(i);
    EXPECT_EQ(localizer->text(ids::kProgramVersion), version);
    EXPECT_EQ(localizer->text(ids::kLastUpdated), s::file::fromNative(date));
    for (int32_t id : {ids::kAddressProgramPage, ids::kAddressFeedback, ids::kMakerWebAddress,
                       ids::kAddressDonate, ids::kAddressMoreSoftware, ids::kAddressWorkplace,
                       ids::kAddressTranslate}) {
      EXPECT_EQ(localizer->text(id), docs) << id;
    }
  }
}

TEST(UserLanguageTest, LocaleNamesMapToTheLanguageNames) {
  struct Case {
    const char* locale;
    std::u16string_view name;
  };
  const Case cases[] = {
      {"de_DE.UTF-8", u"German"},
      {"pt_BR", u"Portuguese_brazilian"},
      {"pt_PT.UTF-8", u"Portuguese_portugal"},
      {"zh_CN.UTF-8", u"Chinese_simplified"},
      {"zh_SG", u"Chinese_simplified"},
      {"zh_TW.UTF-8", u"Chinese_traditional"},
      {"zh_HK", u"Chinese_traditional"},
      {"sr_RS@latin", u"Serbian_latin"},
      {"sr_RS.UTF-8", u"Serbian_cyrillic"},
      {"hr_HR", u"Croatian"},
      {"fa_IR", u"Persian"},
      {"th_TH.UTF-8", u"Thai"},
      {"en_US.UTF-8", u"English"},
      {"C", u"English"},
      {"C.UTF-8", u"English"},
      {"POSIX", u"English"},
      {"xx_YY", u"Unknown"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(s::lang::languageNameOfLocale(c.locale), c.name) << c.locale;
  }
}

// Sets the locale variables for one test and puts them back afterwards.
class LocaleEnvironment {
 public:
  LocaleEnvironment(const char* language, const char* all, const char* messages, const char* lang) {
    for (size_t i = 0; i < 4; ++i) {
      const char* old = std::getenv(kNames[i]);
      saved_[i] = old == nullptr ? nullptr : strdup(old);
    }
    set(kNames[0], language);
    set(kNames[1], all);
    set(kNames[2], messages);
    set(kNames[3], lang);
  }
  ~LocaleEnvironment() {
    for (size_t i = 0; i < 4; ++i) {
      set(kNames[i], saved_[i]);
      free(saved_[i]);
    }
  }

 private:
  static void set(const char* name, const char* value) {
    value == nullptr ? unsetenv(name) : setenv(name, value, 1);
  }
  static constexpr const char* kNames[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
  char* saved_[4] = {};
};

TEST(UserLanguageTest, SelectionFollowsTheLocaleVariablesInOrder) {
  struct Case {
    const char* language;
    const char* all;
    const char* messages;
    const char* lang;
    std::u16string_view engName;
  };
  const Case cases[] = {
      {nullptr, nullptr, nullptr, "de_DE.UTF-8", u"German"},
      {"fr_FR:de_DE", "ru_RU.UTF-8", nullptr, "de_DE.UTF-8", u"French"},
      {nullptr, "ru_RU.UTF-8", "de_DE", "sv_SE", u"Russian"},
      {nullptr, nullptr, "ja_JP.UTF-8", "de_DE", u"Japanese"},
      {nullptr, nullptr, nullptr, "pt_BR.UTF-8", u"Portuguese_Brazilian"},
      // The only Portuguese pack stands in for Portugal's.
      {nullptr, nullptr, nullptr, "pt_PT.UTF-8", u"Portuguese_Brazilian"},
      {nullptr, nullptr, nullptr, "zh_HK.UTF-8", u"Chinese_Traditional"},
      {nullptr, nullptr, nullptr, "sr_RS@latin", u"Serbian_Latin"},
      {nullptr, nullptr, nullptr, "sr_RS", u"Serbian_Cyrillic"},
      // No pack for Thai: English.
      {nullptr, nullptr, nullptr, "th_TH.UTF-8", u"English"},
      {nullptr, nullptr, nullptr, "C", u"English"},
      {nullptr, nullptr, nullptr, nullptr, u"English"},
  };
  auto localizer = embedded();
  for (const Case& c : cases) {
    LocaleEnvironment environment(c.language, c.all, c.messages, c.lang);
    localizer->selectLanguage(s::lang::languageNameFromEnvironment());
    EXPECT_EQ(localizer->currentLanguage()->engName(), c.engName) << (c.lang ? c.lang : "-");
  }
}

class CountingListener final : public s::gui::events::IEventListener {
 public:
  void onEvent(s::IObject* /*source*/, int32_t code) override {
    EXPECT_EQ(code, 0);
    ++count;
  }
  int count = 0;
};

TEST(LocalizerTest, AChangeOfLanguageNotifiesEachListenerOnce) {
  auto localizer = embedded();
  localizer->selectLanguage(u"English");
  CountingListener first, second;
  localizer->addListener(&first);
  localizer->addListener(&second);
  localizer->selectLanguage(u"english");  // the current one, in another case
  EXPECT_EQ(first.count, 0);
  localizer->selectLanguage(u"Korean");
  EXPECT_EQ(first.count, 1);
  EXPECT_EQ(second.count, 1);
  localizer->selectLanguageAt(11);  // Korean again
  EXPECT_EQ(first.count, 1);
  localizer->removeListener(&second);
  localizer->selectLanguage(u"Klingon");  // unknown: English
  EXPECT_EQ(localizer->currentLanguage()->engName(), u"English");
  EXPECT_EQ(first.count, 2);
  EXPECT_EQ(second.count, 1);
}

// Windows come and go on their own threads while another thread changes the language: every
// text read is one of some language, and a listener that has been removed is never told again
// (it is gone from the stack by then).
TEST(LocalizerTest, ListenersComeAndGoOnOtherThreadsWhileTheLanguageChanges) {
  auto localizer = embedded();
  struct Watcher final : s::gui::events::IEventListener {
    std::atomic<bool> removed{false};
    std::atomic<int>* late = nullptr;
    void onEvent(s::IObject* /*source*/, int32_t /*code*/) override {
      if (removed.load()) {
        ++*late;
      }
    }
  };
  std::atomic<int> late{0};
  std::atomic<int> emptyTexts{0};
  std::atomic<bool> done{false};
  std::vector<std::thread> windows;
  for (int w = 0; w < 3; ++w) {
    windows.emplace_back([&] {
      while (!done.load()) {
        Watcher watcher;
        watcher.late = &late;
        localizer->addListener(&watcher);
        if (localizer->text(s::lang::text::kSaveLogButton).empty()) {
          ++emptyTexts;
        }
        localizer->removeListener(&watcher);
        watcher.removed = true;
      }
    });
  }
  for (size_t i = 0; i < 300; ++i) {
    localizer->selectLanguageAt(i % localizer->languages().size());
  }
  done = true;
  for (std::thread& t : windows) {
    t.join();
  }
  EXPECT_EQ(late.load(), 0);
  EXPECT_EQ(emptyTexts.load(), 0);
}

TEST(LocalizerTest, MissingTranslationsFallBackToTheFirstText) {
  auto localizer = fromText(
      "<lang><languages>"
      "<entry tagName=\"eng\" engName=\"English\" trueName=\"English\"/>"
      "<entry tagName=\"deu\" engName=\"German\" trueName=\"Deutsch (Partial)\"/>"
      "</languages><entries>"
      "<entry id=\"10\">// a comment<eng>Sent:&#160;</eng><deu>Gesendet:&#160;</deu></entry>"
      "<entry id=\"20\"><eng>Only &amp; English</eng></entry>"
      "<entry id=\"key\"><ENG>keyed</ENG></entry>"
      "<entry><eng>no id</eng></entry>"
      "</entries></lang>");
  localizer->selectLanguage(u"German");
  EXPECT_EQ(localizer->text(10), u"Gesendet: ");
  EXPECT_EQ(localizer->text(20), u"Only & English");
  EXPECT_EQ(localizer->text(30), u"");
  EXPECT_EQ(localizer->currentLanguage()->keyText(u"key"), u"keyed");
  EXPECT_EQ(localizer->currentLanguage()->keyText(u""), u"no id");
}

TEST(LocalizerTest, WithoutAPackEveryTextIsEmpty) {
  PoolPtr<Localizer> localizer(Localizer::fromResource(u"IDR_XML", 999));
  EXPECT_TRUE(localizer->languages().empty());
  EXPECT_EQ(localizer->currentLanguage(), nullptr);
  EXPECT_EQ(localizer->text(s::lang::text::kMenuExit), u"");
  localizer->selectLanguage(u"German");
  auto garbage = fromText("not a pack at all <<<");
  EXPECT_TRUE(garbage->languages().empty());
}

}  // namespace

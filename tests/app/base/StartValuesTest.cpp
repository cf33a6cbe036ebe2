#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/base/CommandLine.h"
#include "app/base/StartValues.h"
#include "framework/settings/MappedData.h"

namespace s::app::win {
namespace {

PoolPtr<xml::MappedData> store() {
  return xml::MappedData::inMemory();
}

TEST(CommandLine, KeepsEveryOptionWithADashAndTheRestAsGiven) {
  const char* argv[] = {"netvigil", "/startup", "-Startup", "plain", "/tmp/a b", "--once", ""};
  CommandLine line(7, argv);
  const std::vector<std::u16string> kept = {u"-startup", u"-Startup", u"plain",
                                            u"-tmp/a b", u"--once",   u""};
  ASSERT_EQ(line.count(), kept.size());
  for (size_t i = 0; i < kept.size(); ++i) {
    EXPECT_EQ(line.at(i), kept[i]) << i;
  }
  EXPECT_TRUE(line.has(u"-STARTUP"));
  EXPECT_FALSE(line.has(u"-start"));
  EXPECT_FALSE(CommandLine(1, argv).has(kStartupOption));
}

TEST(StartValues, ANewReleaseIsTheOneWithTwoFigures) {
  struct Case {
    const char16_t* stored;  // nullptr: none stored
    std::u16string_view running;
    bool opensPage;
  };
  const Case cases[] = {
      {nullptr, u"1.56", true},  {u"1.55", u"1.56", true},   {u"1.56", u"1.56", false},
      {u"1.56", u"1.6", false},  {nullptr, u"0.1.0", false}, {u"0.0.9", u"0.1.0", false},
      {nullptr, u"0.00", false}, {u"1.56", u"2.10", true},   {u"1.56", u"12", false},
  };
  for (const Case& c : cases) {
    auto settings = store();
    if (c.stored != nullptr) {
      settings->setString(kVersionDir, u"", c.stored);
    }
    EXPECT_EQ(recordVersion(*settings, c.running), c.opensPage)
        << std::string(c.running.begin(), c.running.end());
    EXPECT_EQ(settings->getString(kVersionDir, u"", u""), c.running);
  }
}

TEST(StartValues, TheStoredLanguageIsChosenWhenThePackHasIt) {
  PoolPtr<lang::Localizer> localizer = lang::Localizer::fromResource(u"IDR_XML", 130);
  const std::u16string user(localizer->currentLanguage()->engName());
  struct Case {
    const char16_t* stored;  // nullptr: none stored
    std::u16string chosen;
    const char16_t* written;  // nullptr: nothing stored afterwards
  };
  const Case cases[] = {
      {nullptr, user, nullptr},
      {u"German", u"German", u"German"},
      {u"german", u"German", u"German"},
      {u"Chinese", u"Chinese_Simplified", u"Chinese_Simplified"},
      // A language the pack lacks: the one chosen from the user's, stored.
      {u"Klingon", user, user.c_str()},
      {u"", user, user.c_str()},
  };
  for (const Case& c : cases) {
    std::u16string label = c.stored == nullptr ? u"(none)" : c.stored;
    SCOPED_TRACE(std::string(label.begin(), label.end()));
    PoolPtr<lang::Localizer> fresh = lang::Localizer::fromResource(u"IDR_XML", 130);
    auto settings = store();
    if (c.stored != nullptr) {
      settings->setString(kLanguageDir, u"", c.stored);
    }
    chooseLanguage(*fresh, *settings);
    EXPECT_EQ(fresh->currentLanguage()->engName(), c.chosen);
    EXPECT_EQ(settings->hasValue(kLanguageDir, u""), c.written != nullptr);
    if (c.written != nullptr) {
      EXPECT_EQ(settings->getString(kLanguageDir, u"", u""), c.written);
    }
  }
}

class Selections : public gui::events::IEventListener {
 public:
  void onEvent(IObject* /*source*/, int32_t code) override { selected.push_back(code); }
  std::vector<int32_t> selected;
};

TEST(StartValues, TheStoredSkinOrTheFirstIsSelected) {
  PoolPtr<gui::drawer::Skinner> skins = gui::drawer::Skinner::newSkinner(u"ThinWindow");
  ASSERT_GT(skins->getSkinCount(), 2u);
  const int32_t black = skins->findSkin(u"Black");
  const int32_t classic = skins->findSkin(u"Classic LG");
  ASSERT_GE(black, 0);
  ASSERT_GE(classic, 0);
  struct Case {
    const char16_t* stored;
    int32_t current;
    int32_t index;
    bool selects;
  };
  const Case cases[] = {
      {nullptr, -1, black, true},
      {u"Classic LG", -1, classic, true},
      {u"No Such Skin", -1, 0, true},
      {u"Black", black, black, false},
      {u"Classic LG", black, classic, true},
  };
  for (const Case& c : cases) {
    auto settings = store();
    if (c.stored != nullptr) {
      settings->setString(u"MainWindow\\Skin", u"", c.stored);
    }
    Selections heard;
    skins->addListener(&heard);
    EXPECT_EQ(chooseSkin(*skins, *settings, u"MainWindow", u"Black", c.current), c.index);
    skins->removeListener(&heard);
    EXPECT_EQ(heard.selected, c.selects ? std::vector<int32_t>{c.index} : std::vector<int32_t>{});
  }
  PoolPtr<gui::drawer::Skinner> none = gui::drawer::Skinner::newSkinner(u"NoFamily");
  auto settings = store();
  EXPECT_EQ(chooseSkin(*none, *settings, u"MainWindow", u"Black", -1), -1);
}

}  // namespace
}  // namespace s::app::win

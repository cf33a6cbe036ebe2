#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

using namespace std::string_view_literals;

#include "framework/file/NativePath.h"
#include "framework/settings/MappedData.h"

namespace {

namespace fs = std::filesystem;
using s::PoolPtr;
using s::xml::MappedData;

class MappedDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "netvigil-settings-XXXXXX").string();
    folder_ = mkdtemp(pattern.data());
    file_ = folder_ / "savedata" / "SaveData.xml";
  }
  void TearDown() override { fs::remove_all(folder_); }

  PoolPtr<MappedData> open() const {
    return PoolPtr<MappedData>(MappedData::open(s::file::fromNative(file_.string())));
  }
  std::string fileText() const {
    std::ifstream in(file_, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  fs::path folder_;
  fs::path file_;
};

TEST_F(MappedDataTest, AValueInAFreshStoreMakesTheWholeFile) {
  auto store = open();
  store->setAutoSave(true);
  store->setU32(u"View", u"RefreshFrequency", 1000);
  EXPECT_EQ(fileText(), "<savedata><View RefreshFrequency=\"1000\"></View></savedata>");

  // Set again: still one attribute, now the last of its element.
  store->setBool(u"View", u"Host", true);
  store->setU32(u"View", u"RefreshFrequency", 500);
  EXPECT_EQ(fileText(), "<savedata><View Host=\"1\" RefreshFrequency=\"500\"></View></savedata>");
}

TEST_F(MappedDataTest, BothSeparatorsNameOneElement) {
  auto store = open();
  store->setS32(u"MainWindow/View", u"a", 1);
  store->setS32(u"MainWindow\\View", u"b", 2);
  store->setS32(u"MainWindow\\View/", u"c", 3);
  const s::xml::Node* root = store->root();
  ASSERT_EQ(root->childCount(), 1u);
  ASSERT_EQ(root->child(0)->childCount(), 1u);
  EXPECT_EQ(root->child(0)->child(0)->attributes().count(), 3u);
  EXPECT_EQ(store->getS32(u"MainWindow/View", u"B", 0), 2);
}

TEST_F(MappedDataTest, GettersOnMissingDirsAnswerDefaultsAndCreateNothing) {
  auto store = open();
  EXPECT_EQ(store->getU32(u"No/Such", u"k", 77), 77u);
  EXPECT_EQ(store->getString(u"No/Such", u"k", u"dflt"), u"dflt");
  EXPECT_FALSE(store->findDir(u"No"));
  EXPECT_FALSE(store->hasValue(u"No/Such", u"k"));
  EXPECT_EQ(store->root()->childCount(), 0u);
  store->openDir(u"Yes/Here");
  EXPECT_TRUE(store->findDir(u"Yes"));
  EXPECT_EQ(store->getString(u"Yes/Here", u"k", u"copy"), u"copy");
}

TEST_F(MappedDataTest, ValuesSurviveASaveAndANewStart) {
  const std::u16string tricky = u"line one\nline \"two\" <&> \r\n  trailing  ";
  {
    auto store = open();
    store->setString(u"View/Log", u"LastSaveFolderPath", tricky);
    store->setString(u"Language", u"", u"English ");
    store->setString(u"Language", u"Other", tricky);
    store->setS64(u"Numbers", u"s64", INT64_MIN);
    store->setU64(u"Numbers", u"u64", UINT64_MAX);
    store->setF64(u"Numbers", u"f64", -2.25);
    store->setS8(u"Numbers", u"s8", -8);
    const uint8_t bytes[] = {1, 2, 0xfe};
    store->setBytes(u"Numbers", u"bytes", bytes, 3);
    EXPECT_FALSE(fs::exists(file_));  // auto-save is off
    ASSERT_TRUE(store->save());
  }
  auto store = open();
  EXPECT_EQ(store->getString(u"View/Log", u"LastSaveFolderPath", u""), tricky);
  EXPECT_EQ(store->getString(u"Language", u"", u""), u"English ");
  EXPECT_EQ(store->getString(u"Language", u"Other", u""), tricky);
  EXPECT_EQ(store->getS64(u"Numbers", u"s64", 0), INT64_MIN);
  EXPECT_EQ(store->getU64(u"Numbers", u"u64", 0), UINT64_MAX);
  EXPECT_DOUBLE_EQ(store->getF64(u"Numbers", u"f64", 0), -2.25);
  EXPECT_EQ(store->getS8(u"Numbers", u"s8", 0), -8);
  s::col::ArrayU08 bytes;
  store->getBytes(u"Numbers", u"bytes", bytes);
  ASSERT_EQ(bytes.count(), 3u);
  EXPECT_EQ(bytes[2], 0xfe);
  // The file has no line breaks of its own.
  EXPECT_EQ(fileText().find('\n'), std::string::npos);

  store->removeValue(u"Numbers", u"S64");
  EXPECT_FALSE(store->hasValue(u"Numbers", u"s64"));
  store->removeDir(u"View/Log");
  EXPECT_FALSE(store->findDir(u"View/Log"));
  EXPECT_TRUE(store->findDir(u"View"));
}

TEST_F(MappedDataTest, ATruncatedFileLoadsWhatItCanAtEveryCut) {
  {
    auto store = open();
    store->setU32(u"MainWindow/View", u"RefreshFrequency", 1000);
    store->setString(u"View/Log", u"LastSaveFolderPath", u"/home/u/logs & more");
    store->setString(u"Language", u"", u"Deutsch");
    ASSERT_TRUE(store->save());
  }
  const std::string whole = fileText();
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    {
      std::ofstream out(file_, std::ios::binary | std::ios::trunc);
      out.write(whole.data(), static_cast<std::streamsize>(cut));
    }
    auto store = open();
    uint32_t frequency = store->getU32(u"MainWindow/View", u"RefreshFrequency", 42);
    EXPECT_TRUE(frequency == 1000 || frequency == 42) << cut;
    std::u16string_view language = store->getString(u"Language", u"", u"English");
    EXPECT_TRUE(language == u"Deutsch" || language == u"English" ||
                u"Deutsch"sv.starts_with(language))
        << cut;
  }
}

TEST_F(MappedDataTest, AFailedSaveKeepsThePreviousFile) {
  {
    auto store = open();
    store->setU32(u"View", u"RefreshFrequency", 1000);
    ASSERT_TRUE(store->save());
  }
  const std::string before = fileText();
  pid_t child = fork();
  if (child == 0) {
    // As on a full disk: the new file cannot grow past 16 bytes.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{16, 16};
    setrlimit(RLIMIT_FSIZE, &limit);
    auto store = open();
    store->setString(u"View", u"Big", std::u16string(1000, u'x'));
    _exit(store->save() ? 1 : 0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(fileText(), before);
}

}  // namespace

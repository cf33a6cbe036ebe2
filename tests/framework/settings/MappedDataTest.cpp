#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace std::string_view_literals;

#include "framework/file/NativePath.h"
#include "framework/settings/MappedData.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using s::PoolPtr;
using s::xml::MappedData;

class MappedDataTest : public ::testing::Test {
 protected:
  PoolPtr<MappedData> open() const { return MappedData::open(s::file::fromNative(file_.string())); }
  std::string fileText() const { return s::test::fileText(file_); }

  s::test::TempFolder folder_;
  fs::path file_ = folder_.path("savedata/SaveData.xml");
};

TEST_F(MappedDataTest, AValueInAFreshStoreMakesTheWholeFile) {
  auto store = open();
  store->setAutoSave(true);
  store->setU32(u"View", u"RefreshFrequency", 1000);
  ASSERT_TRUE(store->flush());
  EXPECT_EQ(fileText(), "<savedata><View RefreshFrequency=\"1000\"></View></savedata>");

  // Set again: still one attribute, now the last of its element.
  store->setBool(u"View", u"Host", true);
  store->setU32(u"View", u"RefreshFrequency", 500);
  ASSERT_TRUE(store->flush());
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

// Writes `bytes` as the settings file.
void writeFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The files beside the settings file whose names begin with its own and a dated ".bad-".
std::vector<fs::path> keptAside(const fs::path& file) {
  std::vector<fs::path> found;
  for (const fs::directory_entry& entry : fs::directory_iterator(file.parent_path())) {
    if (entry.path().filename().string().starts_with(file.filename().string() + ".bad-")) {
      found.push_back(entry.path());
    }
  }
  return found;
}

// A file that is not a settings document is moved aside whole, the store starts empty, and
// what it saves from then on reads back.
void expectKeptAsideAndSavesReadBack(const fs::path& file, const std::string& bytes,
                                     const std::string& label) {
  writeFile(file, bytes);
  {
    PoolPtr<MappedData> store = MappedData::open(s::file::fromNative(file.string()));
    ASSERT_EQ(store->fileState(), s::xml::FileState::kKeptAside) << label;
    EXPECT_EQ(store->root()->childCount(), 0u) << label;
    EXPECT_EQ(store->getU32(u"MainWindow/View", u"RefreshFrequency", 42), 42u) << label;
    std::vector<fs::path> aside = keptAside(file);
    ASSERT_EQ(aside.size(), 1u) << label;
    EXPECT_EQ(s::file::fromNative(aside[0].string()), store->keptAsidePath()) << label;
    EXPECT_EQ(s::test::fileText(aside[0]), bytes) << label;
    fs::remove(aside[0]);
    store->setU32(u"MainWindow/View", u"RefreshFrequency", 500);
    ASSERT_TRUE(store->save()) << label;
  }
  PoolPtr<MappedData> again = MappedData::open(s::file::fromNative(file.string()));
  EXPECT_EQ(again->fileState(), s::xml::FileState::kRead) << label;
  EXPECT_EQ(again->getU32(u"MainWindow/View", u"RefreshFrequency", 42), 500u) << label;
  EXPECT_TRUE(keptAside(file).empty()) << label;
}

TEST_F(MappedDataTest, AFileCutAnywhereIsKeptAsideAndTheStoreStartsEmpty) {
  {
    auto store = open();
    store->setU32(u"MainWindow/View", u"RefreshFrequency", 1000);
    store->setString(u"View/Log", u"LastSaveFolderPath", u"/home/u/logs & more");
    store->setString(u"Language", u"", u"Deutsch");
    ASSERT_TRUE(store->save());
  }
  const std::string whole = fileText();
  for (size_t cut = 1; cut < whole.size(); ++cut) {
    expectKeptAsideAndSavesReadBack(file_, whole.substr(0, cut), "cut at " + std::to_string(cut));
  }
}

TEST_F(MappedDataTest, FilesThatAreNoSettingsDocumentAreKeptAside) {
  std::string deep;
  for (int i = 0; i < 5000; ++i) {
    deep += "<a>";
  }
  const std::pair<std::string, std::string> cases[] = {
      {"deep nesting", "<savedata>" + deep},
      {"another root", "<settings><View RefreshFrequency=\"1000\"/></settings>"},
      // Random bytes that begin like a comment once gave a root that every later save wrote
      // as a comment nobody could read back.
      {"an endless comment mark", "<!\xEF\xBF\xBD\x01garbage"},
      {"invalid UTF-8", "<savedata a=\"\xC3\x28\"></savedata>"},
      {"trailing garbage", "<savedata></savedata>\x7F\x45LF"},
  };
  for (const auto& [label, bytes] : cases) {
    expectKeptAsideAndSavesReadBack(file_, bytes, label);
  }
  // Random bytes, a few hundred files of them.
  std::mt19937 random(15);
  for (int i = 0; i < 300; ++i) {
    std::string bytes(1 + random() % 400, '\0');
    for (char& c : bytes) {
      c = static_cast<char>(random());
    }
    // Now and then the start of a document, as a cut file has.
    if (i % 3 == 0) {
      bytes.insert(0, i % 2 == 0 ? "<savedata>" : "<!");
    }
    if (bytes.find_first_not_of(" \t\r\n") != std::string::npos) {
      expectKeptAsideAndSavesReadBack(file_, bytes, "random " + std::to_string(i));
    }
  }
}

TEST_F(MappedDataTest, AnEmptyFileIsANewStoreAndNothingIsKeptAside) {
  writeFile(file_, " \n");
  auto store = open();
  EXPECT_EQ(store->fileState(), s::xml::FileState::kNew);
  EXPECT_TRUE(keptAside(file_).empty());
}

TEST_F(MappedDataTest, AFifoIsRefusedAtOnceAndNeverWritten) {
  fs::create_directories(file_.parent_path());
  ASSERT_EQ(mkfifo(file_.c_str(), 0600), 0);
  auto opening = std::async(std::launch::async, [this] { return open(); });
  if (opening.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
    // Lets the blocked reader go before the test fails.
    int writer = ::open(file_.c_str(), O_WRONLY | O_NONBLOCK);
    ::close(writer);
    FAIL() << "opening the store waits for a writer on the FIFO";
  }
  PoolPtr<MappedData> store = opening.get();
  EXPECT_EQ(store->fileState(), s::xml::FileState::kRefused);
  store->setAutoSave(true);
  store->setU32(u"View", u"RefreshFrequency", 500);
  EXPECT_TRUE(store->flush());
  EXPECT_FALSE(store->save());
  EXPECT_TRUE(fs::is_fifo(file_));
  EXPECT_EQ(store->getU32(u"View", u"RefreshFrequency", 0), 500u);
}

TEST_F(MappedDataTest, AutomaticSavesLandInOrderAndASaveComesLast) {
  auto store = open();
  store->setAutoSave(true);
  for (uint32_t i = 1; i <= 200; ++i) {
    store->setU32(u"View", u"Count", i);
  }
  ASSERT_TRUE(store->flush());
  EXPECT_EQ(fileText(), "<savedata><View Count=\"200\"></View></savedata>");
  store->setAutoSave(false);
  store->setU32(u"View", u"Count", 7);
  ASSERT_TRUE(store->save());
  EXPECT_EQ(fileText(), "<savedata><View Count=\"7\"></View></savedata>");
  // A store given back writes what it was handed before it goes.
  store->setAutoSave(true);
  store->setU32(u"View", u"Count", 8);
  store.reset();
  EXPECT_EQ(fileText(), "<savedata><View Count=\"8\"></View></savedata>");
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

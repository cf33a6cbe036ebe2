#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/ConnectionColumns.h"
#include "app/LogExport.h"
#include "app/LogFileName.h"
#include "app/LogSaveFolder.h"
#include "framework/col/Array.h"
#include "framework/file/NativePath.h"
#include "framework/lang/Localizer.h"
#include "framework/settings/MappedData.h"
#include "framework/time/Time.h"
#include "framework/time/TimeText.h"
#include "gui/listbox2/ListBox2.h"
#include "gui/listbox2/Record.h"
#include "tests/support/ProgramOutput.h"
#include "tests/support/TempFolder.h"

namespace s::app {
namespace {

namespace lb = gui::listbox2;
using gui::win::ListBox2;
using lang::Localizer;
using test::fileText;
using test::programOutput;
using test::TempFolder;

// Sets an environment variable for one test and puts the old value back afterwards.
class EnvGuard {
 public:
  EnvGuard(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) {
      old_ = old;
    }
    setenv(name, value.c_str(), 1);
    tzset();
  }
  ~EnvGuard() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
    tzset();
  }
  EnvGuard(const EnvGuard&) = delete;
  EnvGuard& operator=(const EnvGuard&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// 2013-12-09 14:30:07 UTC.
constexpr time::TimeMs kDecember9 = 1386599407000;

struct LogRow {
  std::u16string_view protocol;
  time::TimeMs end;
  uint32_t pid;
  std::u16string_view name;
  std::u16string_view local;
  int32_t localPort;
  std::u16string_view remote;
  int32_t remotePort;
  int64_t received;
  int64_t sent;
  time::TimeMs duration;
  std::u16string_view path;
};

void showDateTime(lb::CellValue value, str::StrBuffer& text) {
  time::formatDateTime(text, lb::int64Of(value));
}
void showDuration(lb::CellValue value, str::StrBuffer& text) {
  time::formatDurationShort(text, lb::int64Of(value));
}

s::PoolPtr<lb::SubRecord> textCell(std::u16string_view text) {
  return lb::newCell(lb::textValue(text), lb::textValueOwner(), lb::showText);
}
s::PoolPtr<lb::SubRecord> int64Cell(int64_t value, lb::ToText toText) {
  return lb::newCell(lb::int64Value(value), lb::int64ValueOwner(), toText);
}

// A log row as the cycle makes it: values with their text forms, no text made yet.
lb::Record* logRecord(const LogRow& row) {
  lb::Record* record = lb::newRecord(logged::kCellCount, nullptr).release();
  lb::appendCell(record, textCell(row.protocol));
  lb::appendCell(record, int64Cell(row.end, showDateTime));
  lb::appendCell(record, lb::newCell(row.pid, nullptr, lb::showU32));
  std::u16string icon = std::u16string(row.path) + u",0";
  lb::appendCell(record,
                 lb::newCell(lb::textValue(row.name), lb::textValueOwner(), lb::showText, icon));
  lb::appendCell(record, textCell(row.local));
  lb::appendCell(record, lb::newCell(static_cast<uint32_t>(row.localPort), nullptr, lb::showS32));
  lb::appendCell(record, textCell(row.remote));
  lb::appendCell(record, lb::newCell(static_cast<uint32_t>(row.remotePort), nullptr, lb::showS32));
  lb::appendCell(record, int64Cell(row.received, lb::showByteSize));
  lb::appendCell(record, int64Cell(row.sent, lb::showByteSize));
  lb::appendCell(record, int64Cell(row.duration, showDuration));
  lb::appendCell(record, int64Cell(row.end - row.duration, showDateTime));
  lb::appendCell(record, textCell(row.path));
  return record;
}

const std::string kOpening =
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" "
    "/>\r\n<title>";
const std::string kStyle =
    "</title><STYLE TYPE=\"text/css\">table{border-collapse: collapse;}td{font-size: "
    "14px;white-space: nowrap;padding-top: 3px;padding-right: 5px;padding-bottom: "
    "3px;padding-left: 5px;border: 1px solid #aaaaaa;}</STYLE></head><body><strong>";
const std::string kHeader =
    "<tr><td>Protocol</td><td>End</td><td>Process ID</td><td>Process Name</td><td>Local</td>"
    "<td>L-Port</td><td>Remote</td><td>R-Port</td><td>Received</td><td>Sent</td>"
    "<td>Duration</td><td>Start</td><td>Process Path</td></tr>";
const std::string kClosing = "</table></body></html>";

std::string page(const std::string& escapedTitle, const std::vector<std::string>& rows) {
  std::string text =
      kOpening + escapedTitle + kStyle + escapedTitle + "</strong><table>\r\n" + kHeader;
  for (const std::string& row : rows) {
    text += "\r\n" + row;
  }
  return text + "\r\n" + kClosing;
}

// The log list of the main window, in English, dates in UTC.
class LogExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    localizer_->selectLanguage(u"English");
    addLogColumns(*list_, localizer_.get());
  }
  void TearDown() override { list_->removeAllAndRelease(); }

  void addRows() {
    // A day apart, added oldest first: the list's order (latest end first) is what counts.
    list_->appendRecord(
        logRecord({u"TCP", kDecember9 - 86400000, 1200, u"<b>x</b>", u"host   a    b", 40000,
                   u"93.184.216.34", 443, 1536, 0, 3723000, u"/usr/bin/<b>x</b>"}));
    list_->appendRecord(logRecord({u"UDP", kDecember9, 77, u"naïve-€😀", u"127.0.0.1", 5353, u"*", 0,
                                   500, 2048, 5000, u"/opt/\"&/bin/n"}));
    list_->sort();
  }

  EnvGuard zone_{"TZ", "UTC0"};
  PoolPtr<Localizer> localizer_{Localizer::fromResource(u"IDR_XML", 130)};
  PoolPtr<ListBox2> list_ = ListBox2::make();
  TempFolder temp_;
};

TEST_F(LogExportTest, EmptyLogIsOpeningHeaderAndClosing) {
  std::filesystem::path file = temp_.path("a/b/LOG-131209-14.htm");
  ASSERT_TRUE(writeLogHtml(*list_, localizer_.get(), file.string()));
  EXPECT_EQ(fileText(file), page("LOG-131209-14", {}));
}

TEST_F(LogExportTest, RowsInListOrderWithEscapedTextsAndSingleSpaces) {
  addRows();
  // The user's column order on screen does not move the cells or the titles.
  PoolPtr<col::ArrayS32> order = col::ArrayS32::make();
  for (int32_t column : {12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}) {
    order->push(column);
  }
  ASSERT_TRUE(list_->setColumnOrder(*order));

  std::filesystem::path file = temp_.path("a&b<c>.d.htm");
  // An older, longer file of that name is replaced whole.
  std::ofstream(file) << std::string(20000, 'x');
  ASSERT_TRUE(writeLogHtml(*list_, localizer_.get(), file.string()));

  EXPECT_EQ(fileText(file),
            page("a&amp;b&lt;c&gt;.d",
                 {"<tr><td>UDP</td><td>Dec 9 14:30 07</td><td>77</td><td>naïve-€😀</td>"
                  "<td>127.0.0.1</td><td>5353</td><td>*</td><td>0</td><td>500 B</td>"
                  "<td>2.00 KB</td><td>5s</td><td>Dec 9 14:30 02</td>"
                  "<td>/opt/&quot;&amp;/bin/n</td></tr>",
                  "<tr><td>TCP</td><td>Dec 8 14:30 07</td><td>1200</td>"
                  "<td>&lt;b&gt;x&lt;/b&gt;</td><td>host  a  b</td><td>40000</td>"
                  "<td>93.184.216.34</td><td>443</td><td>1.50 KB</td><td>0 B</td>"
                  "<td>1h 2m</td><td>Dec 8 13:28 04</td>"
                  "<td>/usr/bin/&lt;b&gt;x&lt;/b&gt;</td></tr>"}));
}

TEST_F(LogExportTest, UnwritablePathsAnswerFalse) {
  std::filesystem::path plainFile = temp_.path("plain");
  std::ofstream(plainFile) << "keep";
  std::filesystem::create_directory(temp_.path("folder"));
  for (const std::string& path :
       {std::string(), temp_.path("folder").string(), temp_.path("folder").string() + "/",
        (plainFile / "LOG.htm").string(), std::string("/proc/LOG.htm")}) {
    EXPECT_FALSE(writeLogHtml(*list_, localizer_.get(), path)) << path;
  }
  EXPECT_EQ(fileText(plainFile), "keep");
  EXPECT_TRUE(std::filesystem::is_empty(temp_.path("folder")));
}

TEST(LogFileNameTest, TwoDigitsEachFromTheLocalTime) {
  struct Case {
    time::TimeMs local;
    std::u16string_view name;
  };
  for (const Case& c : {
           Case{1386579900000, u"LOG-131209-09.htm"},  // 2013-12-09 09:05
           Case{1104710399000, u"LOG-050102-23.htm"},  // 2005-01-02 23:59:59
           Case{972950400000, u"LOG-001031-00.htm"},   // 2000-10-31 00:00
       }) {
    PoolPtr<time::Time> moment = time::Time::make();
    ASSERT_TRUE(moment->setFileTime(time::msToFileTime(c.local)));
    EXPECT_EQ(defaultLogFileName(*moment), c.name);
  }
}

TEST(LogSaveFolderTest, DefaultMadeInDataFolderThenTheLastFolder) {
  TempFolder home;
  EnvGuard data("NETVIGIL_HOME", home.root().string());
  PoolPtr<xml::MappedData> settings(xml::MappedData::inMemory());
  std::u16string defaultFolder = file::fromNative((home.root() / "log").string());

  EXPECT_EQ(logSaveInitialFolder(*settings), defaultFolder);
  EXPECT_TRUE(std::filesystem::is_directory(home.root() / "log"));

  struct Case {
    std::u16string_view chosen;
    std::u16string_view stored;
    std::u16string_view initial;
  };
  for (const Case& c : {
           Case{u"/home/u/logs/LOG-131209-14.htm", u"/home/u/logs", u"/home/u/logs"},
           Case{u"/srv/x", u"/srv", u"/srv"},
           Case{u"/tm/LOG.htm", u"/tm", u""},  // a short folder is left to the dialog
           Case{u"/LOG.htm", u"/", u""},
       }) {
    storeLogSaveFolder(*settings, c.chosen);
    EXPECT_EQ(settings->getString(kLogSaveDir, kLogSaveFolderKey, u"none"), c.stored);
    EXPECT_EQ(logSaveInitialFolder(*settings), c.initial);
  }
}

bool onPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string folders = path == nullptr ? "/usr/bin:/bin" : path;
  size_t start = 0;
  while (start <= folders.size()) {
    size_t end = folders.find(':', start);
    if (end == std::string::npos) {
      end = folders.size();
    }
    std::string candidate = folders.substr(start, end - start) + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) {
      return true;
    }
    start = end + 1;
  }
  return false;
}

// The texts between each <td> and its </td> of each <tr> element, in order.
std::vector<std::vector<std::string>> tableCells(const std::string& dom) {
  std::vector<std::vector<std::string>> rows;
  for (size_t row = dom.find("<tr>"); row != std::string::npos; row = dom.find("<tr>", row + 1)) {
    size_t rowEnd = dom.find("</tr>", row);
    std::vector<std::string> cells;
    for (size_t cell = dom.find("<td>", row); cell < rowEnd; cell = dom.find("<td>", cell + 1)) {
      size_t start = cell + 4;
      cells.push_back(dom.substr(start, dom.find("</td>", start) - start));
    }
    rows.push_back(cells);
  }
  return rows;
}

TEST_F(LogExportTest, BrowserShowsOneRowPerEntryAndMarkupAsText) {
  if (!onPath("chromium")) {
    GTEST_SKIP() << "chromium is not installed (scripts/install-deps installs it)";
  }
  addRows();
  std::filesystem::path file = temp_.path("LOG-131209-14.htm");
  ASSERT_TRUE(writeLogHtml(*list_, localizer_.get(), file.string()));

  std::string dom =
      programOutput({"timeout", "-k", "5", "60", "chromium", "--headless", "--no-sandbox",
                     "--disable-gpu", "--disable-background-networking", "--no-first-run",
                     "--user-data-dir=" + temp_.path("profile").string(), "--dump-dom",
                     "file://" + file.string()},
                    /*dropErrors=*/true);
  ASSERT_NE(dom.find("</html>"), std::string::npos) << "no page from the browser: " << dom;

  // The serialized DOM writes text with its own escapes: markup held as text comes back
  // escaped, and no element was made from it.
  EXPECT_EQ(dom.find("<b>"), std::string::npos);
  EXPECT_NE(dom.find("<title>LOG-131209-14</title>"), std::string::npos);
  std::vector<std::vector<std::string>> rows = tableCells(dom);
  ASSERT_EQ(rows.size(), 3U);
  EXPECT_EQ(rows[0][0], "Protocol");
  EXPECT_EQ(rows[0][12], "Process Path");
  EXPECT_EQ(rows[1], (std::vector<std::string>{"UDP", "Dec 9 14:30 07", "77", "naïve-€😀",
                                               "127.0.0.1", "5353", "*", "0", "500 B", "2.00 KB",
                                               "5s", "Dec 9 14:30 02", "/opt/\"&amp;/bin/n"}));
  ASSERT_EQ(rows[2].size(), 13U);
  EXPECT_EQ(rows[2][3], "&lt;b&gt;x&lt;/b&gt;");
  EXPECT_EQ(rows[2][12], "/usr/bin/&lt;b&gt;x&lt;/b&gt;");
}

}  // namespace
}  // namespace s::app

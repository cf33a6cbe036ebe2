#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/ErrorReport.h"
#include "framework/file/NativePath.h"
#include "framework/lang/UserLanguage.h"
#include "tests/support/InChild.h"
#include "tests/support/ProgramOutput.h"
#include "tests/support/TempFolder.h"

namespace s::app {
namespace {

std::vector<std::string> reportLines() {
  PoolPtr<str::StrArray> lines = str::StrArray::make();
  composeErrorReport(*lines);
  std::vector<std::string> out;
  for (uint32_t i = 0; i < lines->count(); ++i) {
    out.push_back(file::toNative(lines->at(i)->view()));
  }
  return out;
}

size_t lineStarting(const std::vector<std::string>& lines, const std::string& start,
                    size_t from = 0) {
  for (size_t i = from; i < lines.size(); ++i) {
    if (lines[i].starts_with(start)) {
      return i;
    }
  }
  return std::string::npos;
}

// A number after `label` in a line: "Available: 2" gives 2; -1 when missing.
int numberAfter(const std::string& line, const std::string& label) {
  size_t at = line.find(label);
  return at == std::string::npos ? -1 : std::atoi(line.c_str() + at + label.size());
}

TEST(ErrorReport, HasEverySectionInOrderWithTheSystemsTrueCounts) {
  const std::vector<std::string> lines = reportLines();
  ASSERT_FALSE(lines.empty());
  const std::string os = sizeof(void*) == 8 ? "[OS] (64 bit)(" : "[OS] (";
  EXPECT_TRUE(
      lines[0].starts_with(os + file::toNative(lang::userLanguageName()) + ") Major Version: "))
      << lines[0];
  EXPECT_NE(lines[0].find("Distribution: "), std::string::npos) << lines[0];
  EXPECT_TRUE(lines[1].starts_with("[CodePage] Code: ")) << lines[1];

  const std::string headings[] = {"[CPU]",
                                  "[HDD]",
                                  "[NIC]",
                                  "[WSA Initializer]",
                                  "[Packet Watcher]",
                                  "[Performance Counter Objects] "};
  size_t at = 1;
  for (const std::string& heading : headings) {
    size_t found = lineStarting(lines, heading, at + 1);
    ASSERT_NE(found, std::string::npos) << heading << " after line " << at;
    EXPECT_EQ(lines[found], heading);
    at = found;
  }

  // The CPU: vendor, name, identifier, then the counts, which agree with the system's tools.
  const size_t cpu = lineStarting(lines, "[CPU]");
  const std::string& counts = lines.at(cpu + 4);
  const std::string nproc =
      s::test::programOutput({"env", "-u", "OMP_NUM_THREADS", "-u", "OMP_THREAD_LIMIT", "nproc"});
  const std::string online = s::test::programOutput({"getconf", "_NPROCESSORS_ONLN"});
  EXPECT_EQ(numberAfter(counts, "Available: "), std::atoi(nproc.c_str())) << counts;
  EXPECT_EQ(numberAfter(counts, "Online: "), std::atoi(online.c_str())) << counts;
  EXPECT_GT(numberAfter(counts, "Logical Processors: "), 0) << counts;

  // Each disk's lines, numbered from 0.
  const size_t hdd = lineStarting(lines, "[HDD]");
  const size_t nic = lineStarting(lines, "[NIC]");
  int disk = 0;
  for (size_t i = hdd + 1; i < nic; i += 7, ++disk) {
    EXPECT_EQ(lines[i], "#" + std::to_string(disk));
    const char* labels[] = {
        "Name: ", "Model: ", "Firmware: ", "Size: ", "Device Handle: ", "S.M.A.R.T: "};
    for (size_t k = 0; k < 6; ++k) {
      ASSERT_LT(i + 1 + k, nic);
      EXPECT_TRUE(lines[i + 1 + k].starts_with(labels[k])) << lines[i + 1 + k];
    }
  }

  // The counter objects: the network interfaces with their two counters.
  const size_t counters = lineStarting(lines, "[Performance Counter Objects] ");
  ASSERT_EQ(lines.size(), counters + 5);
  EXPECT_EQ(lines[counters + 1], "Network Interface");
  EXPECT_TRUE(lines[counters + 2].starts_with("# ")) << lines[counters + 2];
  EXPECT_EQ(lines[counters + 3], "## Bytes Received/sec");
  EXPECT_EQ(lines[counters + 4], "## Bytes Sent/sec");
}

TEST(ErrorReport, WithoutTheRightsADisksSmartDataIsNotAccessible) {
  if (getuid() != 0) {
    GTEST_SKIP() << "needs root to run as another user";
  }
  std::string failure = s::test::inChild([] {
    if (setgid(65534) != 0 || setuid(65534) != 0) {
      return std::string("cannot become nobody");
    }
    for (const std::string& line : reportLines()) {
      if (line.starts_with("S.M.A.R.T: ") && line != "S.M.A.R.T: Not Accessible") {
        return "as nobody: " + line;
      }
    }
    return std::string();
  });
  EXPECT_EQ(failure, "");
}

TEST(ErrorReport, IsWrittenLikeTheLogPage) {
  s::test::TempFolder folder;
  const std::filesystem::path path = folder.path("made/for/it/Error Report.txt");
  ASSERT_TRUE(writeErrorReport(path.string()));
  const std::string text = s::test::fileText(path);
  ASSERT_FALSE(text.empty());
  EXPECT_TRUE(text.starts_with("[OS] "));
  EXPECT_NE(text.back(), '\n');
  EXPECT_NE(text.find("\r\n[CPU]\r\n"), std::string::npos);
  // Every line break is CR LF, and no byte-order mark leads.
  for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
    ASSERT_GT(at, 0u);
    EXPECT_EQ(text[at - 1], '\r') << at;
  }
  EXPECT_FALSE(text.starts_with("\xEF\xBB\xBF"));
  EXPECT_FALSE(writeErrorReport(""));
  EXPECT_FALSE(writeErrorReport(folder.path("a folder/").string()));
}

}  // namespace
}  // namespace s::app

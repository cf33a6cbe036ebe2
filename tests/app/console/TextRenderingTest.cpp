#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/console/ScreenText.h"
#include "app/console/TableText.h"
#include "app/console/TerminalText.h"
#include "tests/app/console/TableFixture.h"

namespace s::app::console {
namespace {

using test::addRow;
using test::smallList;

TEST(TerminalText, CountsColumnsAsATerminalShowsThem) {
  const std::pair<std::u16string, uint32_t> cases[] = {
      {u"abc", 3},
      {u"\u7F51\u7EDC", 4},                      // wide
      {u"e\u0301", 1},                           // a combining accent takes no column
      {u"\U0001F600", 2},                        // outside the BMP, a surrogate pair
      {u"\x1b[2J", 4},                           // the escape shows as one replacement character
      {std::u16string(1, char16_t(0xD800)), 1},  // a lone surrogate, likewise
      {u"", 0},
  };
  for (const auto& [text, columns] : cases) {
    EXPECT_EQ(columnsOf(text), columns) << shown(text);
  }
}

TEST(TerminalText, FitsTextsToTheirColumns) {
  struct Case {
    std::u16string text;
    uint32_t width;
    bool right;
    std::string expected;
  };
  const Case cases[] = {
      {u"abc", 5, false, "abc  "},
      {u"abc", 5, true, "  abc"},
      {u"abc", 3, true, "abc"},
      {u"abcdef", 4, false, "abc\u2026"},
      {u"abcdef", 1, false, "\u2026"},
      // A wide character that would straddle the cut is left out and the gap padded.
      {u"\u7F51\u7EDC\u7F51", 4, false, "\u7F51\u2026 "},
      {u"a\tb\u009b", 4, false, "a\uFFFDb\uFFFD"},
      {u"ab", 0, false, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fitted(c.text, c.width, c.right), c.expected) << shown(c.text);
  }
  EXPECT_EQ(shown(u"a\nb\x1b"), "a\uFFFDb\uFFFD");
  EXPECT_EQ(shown(u"abcdef", 4), "abc\u2026");
}

struct TableCase {
  const char* name;
  uint32_t width;
  std::vector<std::string> lines;
};

TEST(TableText, FitsTheColumnsToTheWidth) {
  const TableCase cases[] = {
      {"room for all",
       80,
       {"Proto\u25B2  Pid  Path", "TCP      42  /usr/bin/a", "UDP       7  /opt/some/long/path/b"}},
      // One space between columns, the title wider than its cells, then the widest column.
      {"the path narrows",
       20,
       {"Pr\u2026\u25B2 Pid Path", "TCP   42 /usr/bin/a", "UDP    7 /opt/some/\u2026"}},
      // Down to a few columns each, then the columns on the right are left out.
      // The sort arrow stays when its title is cut.
      {"the path goes", 8, {"Pr\u2026\u25B2 Pid", "TCP   42", "UDP    7"}},
      {"every column as wide as its texts",
       0,
       {"Proto\u25B2  Pid  Path", "TCP      42  /usr/bin/a", "UDP       7  /opt/some/long/path/b"}},
  };
  auto list = smallList();
  addRow(*list, u"TCP", 42, u"/usr/bin/a");
  addRow(*list, u"UDP", 7, u"/opt/some/long/path/b");
  for (const TableCase& c : cases) {
    SCOPED_TRACE(c.name);
    TableText table = tableText(*list, c.width, 0, 10);
    std::vector<std::string> lines{table.header};
    lines.insert(lines.end(), table.rows.begin(), table.rows.end());
    EXPECT_EQ(lines, c.lines);
    if (c.width > 0) {
      EXPECT_LE(table.width, c.width);
    }
  }
}

TEST(TableText, CutsTitlesBeforeCells) {
  auto list = smallList();
  addRow(*list, u"TCP", 4294967295U, u"/usr/bin/abcdefgh");
  // Only Proto's title is wider than its cells: it gives way, and every cell stays whole.
  TableText table = tableText(*list, 33, 0, 1);
  EXPECT_EQ(table.header, "Pr\u2026\u25B2        Pid Path");
  EXPECT_EQ(table.rows, std::vector<std::string>{"TCP  4294967295 /usr/bin/abcdefgh"});
}

TEST(TableText, FollowsTheColumnOrderTheSortKeyAndTheRowsShown) {
  auto list = smallList();
  addRow(*list, u"TCP", 42, u"/a");
  addRow(*list, u"UDP", 123456, u"/b");
  addRow(*list, u"TCP", 9, u"/c");
  col::ArrayS32 order;
  for (int32_t column : {2, 0, 1}) {
    order.push(column);
  }
  ASSERT_TRUE(list->setColumnOrder(order));
  // Pid becomes the first key and its direction flips.
  list->sortByColumn(1);
  list->sort();
  // Rows 1 and 2 only: the widths are those of the rows shown.
  TableText table = tableText(*list, 80, 1, 5);
  EXPECT_EQ(table.header, "Path  Proto  Pid\u25BC");
  EXPECT_EQ(table.rows, (std::vector<std::string>{"/a    TCP      42", "/c    TCP       9"}));
}

TEST(TableText, KeepsTheArrowBesideItsTitle) {
  auto list = smallList();
  addRow(*list, u"TCP", 1, u"/usr/local/bin/x");
  list->sortByColumn(2);
  EXPECT_EQ(tableText(*list, 80, 0, 1).header, "Proto  Pid  Path\u25BC");
  list->sortByColumn(1);
  EXPECT_EQ(tableText(*list, 80, 0, 1).header, "Proto  Pid\u25BC  Path");
}

TEST(TableText, NeverPassesControlCharactersToTheTerminal) {
  auto list = smallList();
  addRow(*list, u"TCP", 1, u"evil\x1b]0;owned\x07\x1b[2J");
  addRow(*list, u"\u7F51\u7EDC", 2, u"/x");
  TableText table = tableText(*list, 80, 0, 10);
  ASSERT_EQ(table.rows.size(), 2U);
  for (const std::string& row : table.rows) {
    for (char c : row) {
      EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7F) << row;
    }
  }
  // The wide name takes four columns, so the Pid column still lines up.
  EXPECT_EQ(table.rows[0].find("TCP       1"), 0U);
  EXPECT_EQ(table.rows[1].find("\u7F51\u7EDC      2"), 0U);
}

TEST(ScreenText, LaysOutTabsTableStatusAndHelpInTheTerminalsSize) {
  auto list = smallList();
  for (uint32_t pid = 1; pid <= 10; ++pid) {
    addRow(*list, u"TCP", pid, u"/p");
  }
  ScreenState state;
  state.width = 40;
  state.height = 8;
  state.currentTab = u"Current";
  state.logTab = u"Log";
  state.settings = u"Refresh Frequency: 1 Second";
  state.connections = u"10 Connections (Tcp: 10, Udp: 0)";
  state.receivedLabel = u"Received:";
  state.received = u"1.50 KB/s";
  state.sentLabel = u"Sent:";
  state.sent = u"0 B/s";

  // Past the end: the last page is shown whole.
  uint32_t firstRow = 100;
  std::vector<ScreenLine> lines = screenLines(*list, state, firstRow);
  EXPECT_EQ(firstRow, 6U);
  ASSERT_EQ(lines.size(), 8U);
  EXPECT_EQ(lines[0].text, "[Current] Log   Refresh Frequency: 1 Se\u2026");
  EXPECT_TRUE(lines[1].inverse);
  EXPECT_EQ(columnsOf(u"Proto\u25B2  Pid  Path"), 17U);
  EXPECT_EQ(lines[1].text, "Proto\u25B2  Pid  Path" + std::string(23, ' '));
  EXPECT_EQ(lines[2].text, "TCP       7  /p");
  EXPECT_EQ(lines[5].text, "TCP      10  /p");
  EXPECT_TRUE(lines[6].inverse);
  EXPECT_EQ(lines[6].text, "10 Connections (Tcp: 10, Udp: 0)   Rece\u2026");
  EXPECT_FALSE(lines[7].inverse);
  EXPECT_EQ(lines[7].text.find("Tab view"), 0U);

  state.logShown = true;
  state.notice = u"Capture needs a right.";
  state.height = 3;
  firstRow = 0;
  lines = screenLines(*list, state, firstRow);
  ASSERT_EQ(lines.size(), 3U);
  EXPECT_EQ(lines[0].text.find(" Current [Log]"), 0U);

  state.height = 6;
  lines = screenLines(*list, state, firstRow);
  ASSERT_EQ(lines.size(), 6U);
  EXPECT_EQ(lines[5].text, "Capture needs a right.");
  EXPECT_EQ(lines[2].text, "TCP       1  /p");
}

}  // namespace
}  // namespace s::app::console

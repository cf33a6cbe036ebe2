#include "app/console/ScreenText.h"

#include <algorithm>

#include "app/console/TableText.h"
#include "app/console/TerminalText.h"

namespace s::app::console {

namespace {

// Tabs and settings, header above the rows; status and help below.
constexpr uint32_t kLinesAbove = 2;
constexpr uint32_t kLinesBelow = 2;
constexpr std::u16string_view kHelp =
    u"Tab view  s/S sort  +/- refresh  c clear log  p suspend logging  h host names  "
    u"\u2191\u2193 scroll  q quit";

std::u16string tabs(const ScreenState& state) {
  std::u16string text;
  auto tab = [&text](std::u16string_view name, bool shown) {
    text += shown ? u"[" : u" ";
    text += name;
    text += shown ? u"]" : u" ";
  };
  tab(state.currentTab, !state.logShown);
  tab(state.logTab, state.logShown);
  text += u"  ";
  text += state.settings;
  return text;
}

std::u16string status(const ScreenState& state) {
  std::u16string text(state.connections);
  text += u"   ";
  text += state.receivedLabel;
  text += u" ";
  text += state.received;
  text += u"   ";
  text += state.sentLabel;
  text += u" ";
  text += state.sent;
  return text;
}

}  // namespace

uint32_t tableRows(uint32_t height) {
  return height > kLinesAbove + kLinesBelow ? height - kLinesAbove - kLinesBelow : 0;
}

std::vector<ScreenLine> screenLines(gui::win::ListBox2& list, const ScreenState& state,
                                    uint32_t& firstRow) {
  uint32_t rows = tableRows(state.height);
  uint32_t count = list.recordCount();
  firstRow = std::min(firstRow, count > rows ? count - rows : 0);
  TableText table = tableText(list, state.width, firstRow, rows);

  std::vector<ScreenLine> lines;
  lines.push_back({shown(tabs(state), state.width), false});
  // Reverse-video lines span the whole width.
  table.header.append(state.width > table.width ? state.width - table.width : 0, ' ');
  lines.push_back({std::move(table.header), true});
  for (std::string& row : table.rows) {
    lines.push_back({std::move(row), false});
  }
  lines.resize(kLinesAbove + rows);
  lines.push_back({fitted(status(state), state.width, false), true});
  lines.push_back({shown(state.notice.empty() ? kHelp : state.notice, state.width), false});
  if (lines.size() > state.height) {
    lines.resize(state.height);
  }
  return lines;
}

}  // namespace s::app::console

#include "app/console/ScreenText.h"

#include <algorithm>

#include "app/console/TableText.h"
#include "app/console/TerminalText.h"

namespace s::app::console {

namespace {

// Tabs and settings, header above the rows; status and help (or the notice) below.
constexpr uint32_t kLinesAbove = 2;
constexpr uint32_t kLinesBelow = 2;
constexpr std::u16string_view kHelp =
    u"Tab view  / filter  s/S sort  +/- refresh  c clear log  p suspend logging  h host names  "
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
  std::u16string text(state.filter);
  if (!text.empty()) {
    text += u"   ";
  }
  text += state.connections;
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

// The notice in lines of at most `width` columns, broken between words where it can be.
std::vector<std::u16string> wrapped(std::u16string_view text, uint32_t width) {
  std::vector<std::u16string> lines;
  while (true) {
    size_t end = text.find(u'\n');
    std::u16string_view paragraph = text.substr(0, end);
    std::u16string line;
    while (!paragraph.empty()) {
      size_t space = paragraph.find(u' ');
      std::u16string_view word = paragraph.substr(0, space);
      paragraph =
          space == std::u16string_view::npos ? std::u16string_view() : paragraph.substr(space + 1);
      if (!line.empty() && columnsOf(line) + 1 + columnsOf(word) > width) {
        lines.push_back(std::move(line));
        line.clear();
      }
      if (!line.empty()) {
        line += u' ';
      }
      line += word;
    }
    lines.push_back(std::move(line));
    if (end == std::u16string_view::npos) {
      return lines;
    }
    text.remove_prefix(end + 1);
  }
}

}  // namespace

uint32_t tableRows(uint32_t height) {
  return height > kLinesAbove + kLinesBelow ? height - kLinesAbove - kLinesBelow : 0;
}

std::vector<ScreenLine> screenLines(gui::win::ListBox2& list, const ScreenState& state,
                                    uint32_t& firstRow) {
  // The notice takes rows of the table, which keeps one while it can.
  std::vector<std::u16string> bottom{std::u16string(kHelp)};
  if (!state.notice.empty()) {
    bottom = wrapped(state.notice, state.width);
  }
  uint32_t room = state.height > kLinesAbove + 1 ? state.height - kLinesAbove - 1 : 0;
  bottom.resize(std::min<size_t>(bottom.size(), room > 1 ? room - 1 : room));
  uint32_t rows = room - static_cast<uint32_t>(bottom.size());
  uint32_t count =
      state.rows == nullptr ? list.recordCount() : static_cast<uint32_t>(state.rows->size());
  firstRow = std::min(firstRow, count > rows ? count - rows : 0);
  TableText table = tableText(list, state.width, firstRow, rows, state.rows);

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
  for (const std::u16string& text : bottom) {
    lines.push_back({shown(text, state.width), false});
  }
  if (lines.size() > state.height) {
    lines.resize(state.height);
  }
  return lines;
}

}  // namespace s::app::console

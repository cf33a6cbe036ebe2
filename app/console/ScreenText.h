#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gui/listbox2/ListBox2.h"

namespace s::app::console {

// One line of the console's screen; `inverse` lines are drawn in reverse video.
struct ScreenLine {
  std::string text;
  bool inverse = false;
};

// What the screen shows besides the list.
struct ScreenState {
  uint32_t width = 80;
  uint32_t height = 24;
  std::u16string_view currentTab;
  std::u16string_view logTab;
  bool logShown = false;
  // The settings the keys change, after the tabs.
  std::u16string_view settings;
  // The filter prompt or the filter set and how many rows it shows, first on the status line;
  // nothing when no filter is set.
  std::u16string_view filter;
  // The rows of the list shown, by row number (a filter's); every row when none.
  const std::vector<uint32_t>* rows = nullptr;
  std::u16string_view connections;
  std::u16string_view receivedLabel;
  std::u16string_view received;
  std::u16string_view sentLabel;
  std::u16string_view sent;
  // Shown in place of the key help while not empty, over as many lines as it needs (taking
  // them from the table, which keeps one row), broken between words.
  std::u16string_view notice;
};

// The rows of the table that fit between the tabs and header above and the status and help
// lines below, without a notice.
uint32_t tableRows(uint32_t height);

// The screen, top to bottom, for `list` (the list shown) from its row `firstRow`, which is
// counting the rows shown, first brought into range so that the last page is full: as many lines as
// the height, each within the width, the reverse-video ones filling it. On the list's thread.
std::vector<ScreenLine> screenLines(gui::win::ListBox2& list, const ScreenState& state,
                                    uint32_t& firstRow);

}  // namespace s::app::console

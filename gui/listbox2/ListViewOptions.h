#pragma once

#include <cstdint>

#include "gui/drawer/Rgb.h"

namespace s::gui::listbox2 {

enum class ViewMode : std::uint8_t { kIcons = 0, kList = 1, kReport = 2 };

// How a list shows its rows and what the user may do with them; the defaults are a list's
// state when made or given back to its pool.
struct ListViewOptions {
  ViewMode viewMode = ViewMode::kReport;
  bool multiSelect = true;
  bool headerVisible = true;
  // A check box before the first column's text in every row.
  bool checkBoxColumn = false;
  // A selected row is highlighted across all columns, not only the first.
  bool fullRowSelect = false;
  bool gridLines = false;
  bool acceptFiles = false;
  bool acceptExplorerDrops = false;
  bool dragRows = false;
  bool dragOut = false;
  // The list takes its own dragged rows: dropping moves them.
  bool dragReorder = false;
  bool striped = false;
  drawer::Rgb stripeColour = 0xEEEEEE;
  bool stripeColourSet = false;
  drawer::Rgb insertMarkColour = 0x000000;
  bool insertMarkColourSet = false;
  // A press below the last row goes on to the window beneath (after deselecting).
  bool emptyAreaTransparent = false;
  // There are no platform bars to hide: the list shows only the bars attached to it.
  bool hideNativeScrollBars = true;
  bool border = false;
  std::int32_t rowHeight = 15;
};

}  // namespace s::gui::listbox2

#pragma once

#include <string>
#include <string_view>

#include "framework/col/Array.h"
#include "gui/listbox2/Record.h"

namespace s::gui::listbox2 {

// A row as a line of tab-separated values: its cells' texts in the columns' shown order, UTF-8,
// ended by a line feed. Cell texts come from outside (process and host names): control
// characters, which would break the line or reach a terminal, show as U+FFFD, and so do lone
// surrogates.
void appendTabSeparated(std::string& out, Record& record, const col::ArrayS32& order);

// The UTF-8 form of a text with its control characters shown as U+FFFD.
void appendShown(std::string& out, std::u16string_view text);

}  // namespace s::gui::listbox2

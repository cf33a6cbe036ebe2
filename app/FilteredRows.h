#pragma once

#include <cstdint>
#include <vector>

#include "gui/listbox2/IListBox2.h"
#include "gui/listbox2/Record.h"
#include "network/filter/ConnectionFilter.h"

namespace s::app {

// Which of the two lists a row is of: their cells stand in different columns.
enum class ListKind { kCurrent, kLog };

// The shown texts of a row that a filter reads (the log shows no state).
system::network::filter::ConnectionTexts rowTexts(gui::listbox2::Record& row, ListKind kind);

// The rows of `list` that `filter` shows, by their row numbers, in the list's order; `rows`
// is refilled and allocates only when it must grow. On the list's thread.
void filterRows(gui::IListBox2& list, ListKind kind,
                const system::network::filter::ConnectionFilter& filter,
                std::vector<uint32_t>& rows);

}  // namespace s::app

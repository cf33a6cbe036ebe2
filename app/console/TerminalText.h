#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace s::app::console {

// Texts as a terminal shows them. Cell texts come from outside (process names, host names),
// so control characters never reach the terminal: each shows as U+FFFD.

// The columns `text` takes: 0 for combining marks, 2 for wide characters, 1 for the rest and
// for every character shown as U+FFFD.
uint32_t columnsOf(std::u16string_view text);

// The UTF-8 form of `text` in exactly `width` columns: padded with spaces (on the left when
// `alignRight`), or cut with "…" as its last column when it is wider.
std::string fitted(std::u16string_view text, uint32_t width, bool alignRight);

// The UTF-8 form of `text` with its control characters shown as U+FFFD, and, when `width`
// is not 0, cut to that many columns.
std::string shown(std::u16string_view text, uint32_t width = 0);

}  // namespace s::app::console

#pragma once

#include <string>
#include <string_view>

#include "framework/lang/Localizer.h"
#include "framework/str/StrArray.h"
#include "gui/listbox2/IListBox2.h"

namespace s::app {

// The lines of the log page, replacing what `lines` held: the opening line (with a line break
// of its own after the meta element) with `title` as title and heading, the column titles of
// `localizer` in the log's cell order whatever the order on screen (empty without a
// localizer), one line per row of `logList` in its row order with every cell's shown text
// (made now when not made yet), and the closing line. In a row line every pair of spaces
// becomes one, in one pass from the left. Titles and cell texts are escaped for HTML.
// Reads rows through the list: the caller keeps the list from changing meanwhile.
void composeLogHtml(gui::IListBox2& logList, lang::Localizer* localizer, std::u16string_view title,
                    str::StrArray& lines);

}  // namespace s::app

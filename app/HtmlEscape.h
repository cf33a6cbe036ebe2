#pragma once

#include <string_view>

#include "framework/str/StrBuffer.h"

namespace s::app {

// Appends `text` with "&", "<", ">" and '"' written as &amp; &lt; &gt; &quot;, so that names
// from processes and the network stay text in a page. Every other unit is kept as it is.
void appendHtmlEscaped(str::StrBuffer& out, std::u16string_view text);

}  // namespace s::app

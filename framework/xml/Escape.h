#pragma once

#include <string>
#include <string_view>

namespace s::xml {

// Attribute values: LF, CR, double quote, "&" and "<" become entities.
void escapeAttribute(std::u16string_view text, std::u16string& out);
// Element text: LF, CR, "&", "<", ">" and every space (as &#160;, so that it survives the
// trimming done on reading) become entities.
void escapeText(std::u16string_view text, std::u16string& out);
// Decodes &amp; &lt; &quot; &#13; &#10;; any other "&" stays literal; nothing is trimmed.
void unescapeAttribute(std::u16string_view raw, std::u16string& out);
// Skips leading blanks, decodes &amp; &lt; &gt; &#160; &#13; &#10;, then trims trailing
// blanks, never one that came from an entity.
void unescapeText(std::u16string_view raw, std::u16string& out);

// Escapes for the attribute `name`: the empty name is element text.
inline void escapeFor(std::u16string_view name, std::u16string_view text, std::u16string& out) {
  name.empty() ? escapeText(text, out) : escapeAttribute(text, out);
}
inline void unescapeFor(std::u16string_view name, std::u16string_view raw, std::u16string& out) {
  name.empty() ? unescapeText(raw, out) : unescapeAttribute(raw, out);
}

}  // namespace s::xml

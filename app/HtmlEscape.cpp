#include "app/HtmlEscape.h"

namespace s::app {

void appendHtmlEscaped(str::StrBuffer& out, std::u16string_view text) {
  // Runs without a special unit are appended whole.
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    std::u16string_view entity;
    switch (text[i]) {
      case u'&':
        entity = u"&amp;";
        break;
      case u'<':
        entity = u"&lt;";
        break;
      case u'>':
        entity = u"&gt;";
        break;
      case u'"':
        entity = u"&quot;";
        break;
      default:
        continue;
    }
    out.append(text.substr(start, i - start));
    out.append(entity);
    start = i + 1;
  }
  out.append(text.substr(start));
}

}  // namespace s::app

#include "framework/str/TextLines.h"

namespace s::str {

std::string joinTextLines(const StrArray& lines) {
  PoolPtr<StrBuffer> text = StrBuffer::make();
  for (uint32_t i = 0; i < lines.count(); ++i) {
    if (i > 0) {
      text->append(u"\r\n");
    }
    text->append(*lines.at(i));
  }
  return text->toUtf8String();
}

}  // namespace s::str
